#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace trelk {

class CommandList;

// The widgets of the "Cmd List" tab: the pilot's command list as an edit line above the list,
// the two pick lists that fill the edit line, and Clear / Cancel / Save. The list is loaded
// again whenever the tab comes on screen.
class CmdListTab final : public QWidget {
public:
    explicit CmdListTab(CommandList& commands, QWidget* parent = nullptr);

    // cbCmdList: the edit line and the list below it.
    QFrame* cbCmdList = nullptr;
    QLineEdit* cbCmdListEdit = nullptr;
    QListWidget* cbCmdListItems = nullptr;
    QPushButton* bClearCmdList = nullptr;
    QPushButton* bCancelCommand = nullptr;
    QPushButton* bSaveCommands = nullptr;
    QLabel* lblSaveNote = nullptr;
    QComboBox* cbTRLCmdList = nullptr;
    QComboBox* cbVLCmdList = nullptr;
    QPlainTextEdit* memCmdListHelp = nullptr;

    // The instruction box's lines, in order.
    static QStringList HelpLines();
    // The same words as paragraphs, for the box to wrap at its width.
    static QString HelpParagraphs();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    void unselect();
    void cbCmdListEnter();
    void cbCmdListDelete();
    void queuePick(QComboBox* box);
    QComboBox* pickListOf(QObject* watched) const;

    CommandList& commands_;
};

} // namespace trelk
