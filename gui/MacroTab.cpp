#include "MacroTab.h"

#include "QtText.h"
#include "TfmMacroCfg.h"
#include "macros/MacroTable.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QTableWidget>
#include <QVBoxLayout>

namespace trelk {

MacroTab::MacroTab(MacroTable& table, QWidget* parent)
    : QWidget(parent), table_(table), editor_(table) {
    setObjectName("MacroTab");
    runDialog = [](TfmMacroCfg& dialog) { dialog.exec(); };

    auto* layout = new QVBoxLayout(this);
    lvMacroList = new QTableWidget(MacroTable::Count, 4, this);
    lvMacroList->setObjectName("lvMacroList");
    lvMacroList->setHorizontalHeaderLabels({"Macro Keys", "Chan", "Return", "Description"});
    lvMacroList->verticalHeader()->hide();
    lvMacroList->horizontalHeader()->setStretchLastSection(true);
    lvMacroList->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvMacroList->setSelectionMode(QAbstractItemView::SingleSelection);
    lvMacroList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvMacroList->setShowGrid(true);
    lvMacroList->setToolTip("Double click to Edit Macro");
    for (int row = 0; row < MacroTable::Count; ++row) {
        for (int column = 0; column < 4; ++column) {
            lvMacroList->setItem(row, column, new QTableWidgetItem);
        }
    }
    layout->addWidget(lvMacroList);
    lblMacroHint = new QLabel("Double-Click on a line to edit that Macro.", this);
    lblMacroHint->setObjectName("lblMacroHint");
    layout->addWidget(lblMacroHint);

    connect(lvMacroList, &QTableWidget::cellDoubleClicked, this, [this] { lvMacroListDblClick(); });
    // The table may outlive this view: its view holds only a guarded pointer.
    QPointer<MacroTab> self(this);
    table_.addView([self] {
        if (self) {
            self->showRows();
        }
    });
    showRows();
}

MacroTab::~MacroTab() = default;

void MacroTab::showRows() {
    for (int n = 1; n <= MacroTable::Count; ++n) {
        const MacroListRow& row = table_.row(n);
        const int r = n - 1;
        lvMacroList->item(r, 0)->setText(toQt(row.Caption));
        lvMacroList->item(r, 1)->setText(toQt(row.Chan));
        lvMacroList->item(r, 2)->setText(toQt(row.Return));
        lvMacroList->item(r, 3)->setText(toQt(row.Description));
    }
}

void MacroTab::lvMacroListDblClick() {
    const QList<QTableWidgetSelectionRange> selected = lvMacroList->selectedRanges();
    if (selected.isEmpty()) {
        return;
    }
    editor_.Open(selected.front().topRow() + 1);
    TfmMacroCfg dialog(editor_, this);
    if (runDialog) {
        runDialog(dialog);
    }
}

void MacroTab::showEvent(QShowEvent* event) {
    // tsMacroShow
    table_.RefreshMacroList();
    QWidget::showEvent(event);
}

} // namespace trelk
