// The "Cmd List" tab on the offscreen platform, bound to a command list in a temporary
// settings file.

#include "gui/CmdListTab.h"

#include "macros/CommandList.h"
#include "support/SimFolder.h"

#include <QLabel>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr const char* OtherSections = "[Setup]\nLogEnabled=1\n\n[Macros]\nF1Channel=2\n\n";

class CmdListTabTest : public ::testing::Test {
protected:
    CmdListTabTest() {
        folder.write("trelkpro.ini",
                     std::string(OtherSections) + "[Commands]\nCmdList=/cargo;//hl;\n");
        tab.show();
    }
    QStringList listed() const {
        QStringList rows;
        for (int i = 0; i < tab.cbCmdListItems->count(); ++i) {
            rows << tab.cbCmdListItems->item(i)->text();
        }
        return rows;
    }
    void enter(const QString& text) {
        QTest::keyClicks(tab.cbCmdListEdit, text);
        QTest::keyClick(tab.cbCmdListEdit, Qt::Key_Return);
    }
    // A character the test library has no key for.
    void typeText(const QString& text) {
        QTest::sendKeyEvent(QTest::Click, tab.cbCmdListEdit, Qt::Key_unknown, text, Qt::NoModifier);
    }
    void select(int row) {
        QListWidgetItem* item = tab.cbCmdListItems->item(row);
        QTest::mouseClick(tab.cbCmdListItems->viewport(), Qt::LeftButton, {},
                          tab.cbCmdListItems->visualItemRect(item).center());
    }
    std::string stored() const { return folder.read("trelkpro.ini"); }

    SimFileSystem files;
    testing::SimFolder folder{files};
    std::vector<std::string> logLines;
    std::vector<std::string> errors;
    CommandList list{files,
                     folder.file("trelkpro.ini"),
                     [this](const std::string& line) { logLines.push_back(line); },
                     {},
                     [this](const std::string& message) { errors.push_back(message); }};
    CmdListTab tab{list};
};

TEST_F(CmdListTabTest, ShowsItsControlsTextsAndHints) {
    const QString editHint = "Type commands on the top line, then press <enter>.";
    EXPECT_EQ(tab.cbCmdList->toolTip(), editHint);
    EXPECT_EQ(tab.cbCmdListEdit->toolTip(), editHint);
    EXPECT_EQ(tab.cbCmdListItems->toolTip(), editHint);
    EXPECT_EQ(tab.bClearCmdList->text(), "Clear");
    EXPECT_EQ(tab.bClearCmdList->toolTip(), "Clear Command List");
    EXPECT_EQ(tab.bCancelCommand->text(), "Cancel");
    EXPECT_EQ(tab.bCancelCommand->toolTip(), "Cancel All Command List Changes");
    EXPECT_EQ(tab.bSaveCommands->text(), "Save");
    EXPECT_EQ(tab.bSaveCommands->toolTip(), "Save All Command List Changes");
    EXPECT_EQ(tab.lblSaveNote->text(),
              "Changes On this Page will NOT take affect until the Save button is pressed.");
    EXPECT_THAT(tab.lblSaveNote->styleSheet().toStdString(), HasSubstr("red"));
    QStringList labels;
    for (const QLabel* label : tab.findChildren<QLabel*>()) {
        labels << label->text();
    }
    EXPECT_TRUE(labels.contains("Command List"));
    EXPECT_TRUE(labels.contains("Trelk Commands"));
    EXPECT_TRUE(labels.contains("Example Voidline Commands"));

    const QString pickHint = "Select Command, double click to que to List, then press enter.";
    EXPECT_EQ(tab.cbTRLCmdList->toolTip(), pickHint);
    EXPECT_EQ(tab.cbVLCmdList->toolTip(), pickHint);
    EXPECT_EQ(tab.cbTRLCmdList->currentText(), "//timeon");
    EXPECT_EQ(tab.cbTRLCmdList->count(), 17);
    EXPECT_EQ(tab.cbTRLCmdList->itemText(16), " ");
    EXPECT_EQ(tab.cbVLCmdList->currentText(), "/cargo");
    EXPECT_EQ(tab.cbVLCmdList->count(), 19);
    EXPECT_EQ(tab.cbVLCmdList->itemText(18), "/voice ");

    EXPECT_TRUE(tab.memCmdListHelp->isReadOnly());
    // The instructions' words as two paragraphs, wrapped by the box, never mid-sentence by a
    // line break of their own.
    EXPECT_EQ(tab.memCmdListHelp->toPlainText().split('\n'),
              QStringList({"Enter Voidline and Trelk commands into the Command List. The commands "
                           "may be retrieved in-game by pressing the <Pause> key. Reverse through "
                           "the list by holding <ScrollLock> then pressing the <Pause> key.",
                           "",
                           "You can add commands to the list by typing them in directly or by "
                           "selecting a command from one of the drop-down lists below, then "
                           "pressing <enter>."}));
    // Shown, the tab loaded the stored list.
    EXPECT_EQ(listed(), QStringList({"/cargo", "//hl"}));
}

TEST_F(CmdListTabTest, EnterAddsTheLineDeleteRemovesTheChosenEntry) {
    enter("/exp");
    enter("");
    EXPECT_EQ(listed(), QStringList({"/cargo", "//hl", "/exp", ""}));
    EXPECT_EQ(tab.cbCmdListEdit->text(), "");

    select(0);
    EXPECT_EQ(tab.cbCmdListEdit->text(), "/cargo");
    QTest::keyClick(tab.cbCmdListEdit, Qt::Key_Delete);
    EXPECT_EQ(listed(), QStringList({"//hl", "/exp", ""}));
    EXPECT_EQ(tab.cbCmdListEdit->text(), "");

    // Typing ends the choice: Delete only empties the edit line.
    select(1);
    QTest::keyClicks(tab.cbCmdListEdit, "x");
    QTest::keyClick(tab.cbCmdListEdit, Qt::Key_Delete);
    EXPECT_EQ(listed(), QStringList({"//hl", "/exp", ""}));
    EXPECT_EQ(tab.cbCmdListEdit->text(), "");

    // The arrows walk the list as in a combo box.
    QTest::keyClick(tab.cbCmdListEdit, Qt::Key_Down);
    QTest::keyClick(tab.cbCmdListEdit, Qt::Key_Down);
    EXPECT_EQ(tab.cbCmdListEdit->text(), "/exp");
    QTest::keyClick(tab.cbCmdListEdit, Qt::Key_Delete);
    EXPECT_EQ(listed(), QStringList({"//hl", ""}));
    EXPECT_EQ(stored(), std::string(OtherSections) + "[Commands]\nCmdList=/cargo;//hl;\n");
    EXPECT_THAT(errors, IsEmpty());
}

TEST_F(CmdListTabTest, ArrowsOnAnEmptyListLeaveTheEditLineAlone) {
    QTest::mouseClick(tab.bClearCmdList, Qt::LeftButton);
    QTest::keyClicks(tab.cbCmdListEdit, "/cargo");
    for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
        QTest::keyClick(tab.cbCmdListEdit, key);
    }
    EXPECT_EQ(tab.cbCmdListEdit->text(), "/cargo");
    EXPECT_EQ(tab.cbCmdListItems->currentRow(), -1);
    enter("");
    QTest::keyClick(tab.cbCmdListEdit, Qt::Key_Down);
    EXPECT_EQ(tab.cbCmdListItems->currentRow(), 0);
}

TEST_F(CmdListTabTest, LettersOfAnyLanguageAreEnteredAsTheyAre) {
    QTest::keyClicks(tab.cbCmdListEdit, "/give J");
    typeText(QString::fromUtf8("\xC3\xBC"));
    enter("rgen 5");
    EXPECT_EQ(listed(),
              QStringList({"/cargo", "//hl", QString::fromUtf8("/give J\xC3\xBCrgen 5")}));
    EXPECT_EQ(tab.cbCmdListEdit->text(), "");
    EXPECT_THAT(errors, IsEmpty());

    enter("/cargo;/hl");
    EXPECT_EQ(tab.cbCmdListEdit->text(), "/cargo;/hl");
    EXPECT_EQ(errors.size(), 1u);
    EXPECT_EQ(listed().size(), 3);
    // Text the program could never type does not reach the edit line.
    tab.cbCmdListEdit->clear();
    typeText(QString::fromUtf8("\xE2\x82\xAC"));
    EXPECT_EQ(tab.cbCmdListEdit->text(), "");
}

TEST_F(CmdListTabTest, ThePickListsQueueTheirCommandOnTheEditLine) {
    QTest::mouseDClick(tab.cbTRLCmdList->lineEdit(), Qt::LeftButton);
    EXPECT_EQ(tab.cbCmdListEdit->text(), "//timeon");
    EXPECT_EQ(tab.focusWidget(), tab.cbCmdListEdit);
    QTest::keyClick(tab.cbCmdListEdit, Qt::Key_Return);
    EXPECT_EQ(listed(), QStringList({"/cargo", "//hl", "//timeon"}));

    // The arrows still choose in the pick list; a character key queues the choice and is not
    // typed anywhere.
    tab.cbVLCmdList->setFocus();
    QTest::keyClick(tab.cbVLCmdList, Qt::Key_Down);
    EXPECT_EQ(tab.cbVLCmdList->currentText(), "/mission");
    EXPECT_EQ(tab.cbCmdListEdit->text(), "");
    QTest::keyClick(tab.cbVLCmdList, Qt::Key_M);
    EXPECT_EQ(tab.cbCmdListEdit->text(), "/mission");
    EXPECT_EQ(tab.cbVLCmdList->currentText(), "/mission");
    EXPECT_EQ(tab.focusWidget(), tab.cbCmdListEdit);
}

TEST_F(CmdListTabTest, SaveCancelClearAndShowingTheTab) {
    QTest::mouseClick(tab.bClearCmdList, Qt::LeftButton);
    EXPECT_THAT(listed(), IsEmpty());
    QTest::mouseClick(tab.bCancelCommand, Qt::LeftButton);
    EXPECT_EQ(listed(), QStringList({"/cargo", "//hl"}));

    enter("/bcu ");
    QTest::mouseClick(tab.bSaveCommands, Qt::LeftButton);
    EXPECT_EQ(stored(), std::string(OtherSections) + "[Commands]\nCmdList=/cargo;//hl;/bcu ;\n");

    // Unsaved changes are gone when the tab comes back.
    enter("/gms");
    tab.hide();
    tab.show();
    EXPECT_EQ(listed(), QStringList({"/cargo", "//hl", "/bcu "}));

    QTest::mouseClick(tab.bClearCmdList, Qt::LeftButton);
    QTest::mouseClick(tab.bSaveCommands, Qt::LeftButton);
    EXPECT_EQ(stored(), std::string(OtherSections) + "[Commands]\nCmdList=\n");
    EXPECT_THAT(logLines, ElementsAre("No <Pause> commands have been defined."));
    EXPECT_THAT(errors, IsEmpty());
}

} // namespace
} // namespace trelk
