#pragma once

#include "platform/ports/MainWindow.h"

#include <QWidget>

namespace trelk {

// Questions and error messages as message boxes over the main window; files through the
// desktop's open-file dialog.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent) : parent_(parent) {}
    bool confirm(const std::string& text) override;
    void showError(const std::string& text) override;
    std::optional<std::string> chooseFileToOpen(const FileChoice& choice) override;

    // "caption (pattern pattern)", as the dialog's type list shows it.
    static QString filterText(const FileFilter& filter);

private:
    QWidget* parent_;
};

} // namespace trelk
