#include "gui/TfmMacroCfg.h"

#include "MacroTableGuiRig.h"
#include "macros/MacroEditor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace trelk::testing {
namespace {

using Message = std::pair<std::string, std::string>;

class TfmMacroCfgTest : public ::testing::Test {
protected:
    void open(int n) {
        editor.Open(n);
        dialog = std::make_unique<TfmMacroCfg>(editor);
        dialog->showMessage = [this](const std::string& title, const std::string& text) {
            messages.emplace_back(title, text);
        };
        dialog->show();
    }
    QRadioButton* channel(int c) {
        return dialog->findChild<QRadioButton*>(QString("rbChannel%1").arg(c));
    }

    MacroTableGuiRig rig{"[Macros]\nF7Channel=2\nF7String=gg\nF7Return=1\n"};
    MacroEditor editor{rig.table};
    std::unique_ptr<TfmMacroCfg> dialog;
    std::vector<Message> messages;
};

TEST_F(TfmMacroCfgTest, ShowsTheRowWithItsCaptionsAndCommands) {
    rig.table.RefreshMacroList();
    open(7);
    EXPECT_EQ(dialog->windowTitle(), "Define Macro:    ScrollLock + F7");
    const char* captions[] = {"F1 - Faction", "F2 - Squad", "F3 - Sector", "F4- Whisper",
                              "F5 - Booth"};
    for (int c = 1; c <= 5; ++c) {
        ASSERT_NE(channel(c), nullptr);
        EXPECT_EQ(channel(c)->text(), captions[c - 1]);
        EXPECT_EQ(channel(c)->isChecked(), c == 2);
    }
    EXPECT_EQ(dialog->MacroText->text(), "gg");
    EXPECT_EQ(dialog->MacroText->maxLength(), 255);
    EXPECT_TRUE(dialog->cbReturn->isChecked());
    EXPECT_EQ(dialog->cbReturn->text(), "Add return to End of Macro");
    EXPECT_EQ(dialog->ComboBox1->count(), 17);
    EXPECT_EQ(dialog->ComboBox1->currentText(), "//loadroid");
    EXPECT_EQ(dialog->ComboBox1->itemText(16), "//autostartoff");
    EXPECT_EQ(dialog->ComboBox1->toolTip(),
              "Select Command then double click to add to Macro Text");
}

TEST_F(TfmMacroCfgTest, SaveWithoutChannelAsksForOneAndStaysOpen) {
    open(3);
    QTest::keyClicks(dialog->MacroText, "hello");
    QTest::mouseClick(dialog->bSave, Qt::LeftButton);
    EXPECT_THAT(messages, ::testing::ElementsAre(Message{"Form Not Complete", "Select a Channel"}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->MacroText->text(), "hello");
    EXPECT_EQ(rig.table.entry(3), "");
}

TEST_F(TfmMacroCfgTest, ClearSelectsBoothAndEmptiesTheText) {
    rig.table.RefreshMacroList();
    open(7);
    QTest::mouseClick(dialog->bClear, Qt::LeftButton);
    EXPECT_TRUE(channel(5)->isChecked());
    EXPECT_EQ(dialog->MacroText->text(), "");
    EXPECT_FALSE(dialog->cbReturn->isChecked());
    EXPECT_EQ(rig.table.entry(7), "\xE5gg\r");
}

TEST_F(TfmMacroCfgTest, DoubleClickOnACommandAppendsIt) {
    open(1);
    QTest::keyClicks(dialog->MacroText, "go");
    dialog->ComboBox1->setCurrentIndex(6);
    QTest::mouseDClick(dialog->ComboBox1->lineEdit(), Qt::LeftButton);
    EXPECT_EQ(dialog->MacroText->text(), "go //logon ");
}

TEST_F(TfmMacroCfgTest, SaveOnWhisperWithEmptyTextStoresChannelFourAndCloses) {
    open(4);
    channel(4)->click();
    QTest::mouseClick(dialog->bSave, Qt::LeftButton);
    EXPECT_THAT(messages, ::testing::IsEmpty());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(rig.table.entry(4), "\xE7");
    EXPECT_THAT(rig.file(), ::testing::HasSubstr("F4Channel=4\nF4String=\nF4Return=0\n"));
    EXPECT_EQ(rig.table.row(4).Chan, "4");
}

TEST_F(TfmMacroCfgTest, LettersAMacroCannotTypeAreShownReplacedBeforeSaving) {
    open(2);
    channel(1)->click();
    // The euro sign is beyond the single-byte text and cannot be entered.
    dialog->MacroText->insert(QString::fromUtf8("\xE2\x82\xAC"));
    EXPECT_EQ(dialog->MacroText->text(), "");
    dialog->MacroText->setText(QString::fromUtf8("sch\xC3\xB6n"));
    QTest::mouseClick(dialog->bSave, Qt::LeftButton);
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].first, "Macro Text");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->MacroText->text(), "schon");
    EXPECT_EQ(rig.table.entry(2), "");
    QTest::mouseClick(dialog->bSave, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(rig.table.entry(2), "\xE4schon");
}

TEST_F(TfmMacroCfgTest, CancelChangesNothing) {
    open(5);
    channel(3)->click();
    QTest::mouseClick(dialog->bCancel, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(rig.table.entry(5), "");
    EXPECT_EQ(rig.file(), "[Macros]\nF7Channel=2\nF7String=gg\nF7Return=1\n");
}

} // namespace
} // namespace trelk::testing
