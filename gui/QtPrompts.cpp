#include "QtPrompts.h"

#include "QtText.h"

#include <QMessageBox>

namespace trelk {

bool QtPrompts::confirm(const std::string& text) {
    return QMessageBox::question(parent_, "Confirm", toQt(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtPrompts::showError(const std::string& text) {
    QMessageBox::critical(parent_, "Trelk Pro", toQt(text));
}

} // namespace trelk
