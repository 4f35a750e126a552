#pragma once

#include "platform/ports/MainWindow.h"

#include <QWidget>

namespace trelk {

// Questions and error messages as message boxes over the main window.
class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent) : parent_(parent) {}
    bool confirm(const std::string& text) override;
    void showError(const std::string& text) override;

private:
    QWidget* parent_;
};

} // namespace trelk
