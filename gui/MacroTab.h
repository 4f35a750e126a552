#pragma once

#include "macros/MacroEditor.h"

#include <QWidget>
#include <functional>

class QLabel;
class QTableWidget;

namespace trelk {

class MacroTable;
class TfmMacroCfg;

// The "Macro" tab: the twelve macros as the macro table lists them. A double click on a row
// opens the definition dialog for it.
class MacroTab final : public QWidget {
public:
    explicit MacroTab(MacroTable& table, QWidget* parent = nullptr);
    ~MacroTab() override;

    // Rows from the macro table.
    void showRows();
    void lvMacroListDblClick();

    // Runs the dialog modally; a test may look at it instead.
    std::function<void(TfmMacroCfg&)> runDialog;

    QTableWidget* lvMacroList = nullptr;
    QLabel* lblMacroHint = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    MacroTable& table_;
    MacroEditor editor_;
};

} // namespace trelk
