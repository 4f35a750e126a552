#include "gui/MacroTab.h"

#include "MacroTableGuiRig.h"
#include "gui/TfmMacroCfg.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace trelk::testing {
namespace {

QString cell(const MacroTab& tab, int row, int column) {
    return tab.lvMacroList->item(row, column)->text();
}

TEST(MacroTabTest, TwelveRowsWithTheStoredMacrosOnceShown) {
    MacroTableGuiRig rig("[Macros]\nF7Channel=2\nF7String=gg\nF7Return=1\nF4Channel=7\n");
    MacroTab tab(rig.table);
    ASSERT_EQ(tab.lvMacroList->rowCount(), 12);
    EXPECT_EQ(tab.lvMacroList->horizontalHeaderItem(0)->text(), "Macro Keys");
    EXPECT_EQ(tab.lvMacroList->horizontalHeaderItem(1)->text(), "Chan");
    EXPECT_EQ(tab.lvMacroList->horizontalHeaderItem(2)->text(), "Return");
    EXPECT_EQ(tab.lvMacroList->horizontalHeaderItem(3)->text(), "Description");
    EXPECT_EQ(tab.lvMacroList->toolTip(), "Double click to Edit Macro");
    EXPECT_EQ(tab.lblMacroHint->text(), "Double-Click on a line to edit that Macro.");
    EXPECT_EQ(cell(tab, 0, 0), "ScrLk+F1");
    EXPECT_EQ(cell(tab, 11, 0), "ScrLk+F12");
    EXPECT_EQ(cell(tab, 6, 1), "");

    tab.show();
    EXPECT_EQ(cell(tab, 6, 1), "2");
    EXPECT_EQ(cell(tab, 6, 2), "Yes");
    EXPECT_EQ(cell(tab, 6, 3), "gg");
    EXPECT_EQ(cell(tab, 3, 1), "");

    // A macro defined in the game shows at once.
    rig.table.StoreMacro(1, "3:hello", false);
    EXPECT_EQ(cell(tab, 0, 1), "3");
    EXPECT_EQ(cell(tab, 0, 2), "No");
    EXPECT_EQ(cell(tab, 0, 3), "hello");
}

TEST(MacroTabTest, DoubleClickOpensTheDialogForTheSelectedRowOnly) {
    MacroTableGuiRig rig("[Macros]\nF7Channel=2\nF7String=gg\nF7Return=1\n");
    MacroTab tab(rig.table);
    tab.show();
    QString title;
    QString text;
    int opened = 0;
    tab.runDialog = [&](TfmMacroCfg& dialog) {
        ++opened;
        title = dialog.windowTitle();
        text = dialog.MacroText->text();
        dialog.MacroText->setText("changed");
        QTest::mouseClick(dialog.bSave, Qt::LeftButton);
    };
    tab.lvMacroListDblClick();
    EXPECT_EQ(opened, 0);

    const QRect rect = tab.lvMacroList->visualItemRect(tab.lvMacroList->item(6, 3));
    QTest::mouseClick(tab.lvMacroList->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(tab.lvMacroList->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(title, "Define Macro:    ScrollLock + F7");
    EXPECT_EQ(text, "gg");
    EXPECT_EQ(cell(tab, 6, 3), "changed");
    EXPECT_EQ(rig.table.entry(7), "\xE5"
                                  "changed\r");
}

} // namespace
} // namespace trelk::testing
