#include "QtPrompts.h"

#include "QtText.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace trelk {

bool QtPrompts::confirm(const std::string& text) {
    return QMessageBox::question(parent_, "Confirm", toQt(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void QtPrompts::showError(const std::string& text) {
    QMessageBox::critical(parent_, "Trelk Pro", toQt(text));
}

QString QtPrompts::filterText(const FileFilter& filter) {
    QStringList patterns;
    for (const std::string& pattern : filter.patterns) {
        patterns << toQt(pattern);
    }
    return toQt(filter.caption) + " (" + patterns.join(' ') + ")";
}

std::optional<std::string> QtPrompts::chooseFileToOpen(const FileChoice& choice) {
    QFileDialog dialog(parent_, toQt(choice.title));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList filters;
    for (const FileFilter& filter : choice.filters) {
        filters << filterText(filter);
    }
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.front());
    }
    // File names are bytes on Linux: decodeName() and encodeName() keep them as they are.
    if (!choice.initialFolder.empty()) {
        dialog.setDirectory(QFile::decodeName(choice.initialFolder.c_str()));
    }
    if (!choice.initialFile.empty()) {
        dialog.selectFile(QFile::decodeName(choice.initialFile.c_str()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(QDir::cleanPath(dialog.selectedFiles().front())).toStdString();
}

} // namespace trelk
