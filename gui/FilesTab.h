#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

class QDropEvent;

namespace trelk {

class DataLists;

// The widgets of the "Files" tab: the data files in DataDir, dragged onto the three lists that
// feed the console's databases, and Save / Cancel. The lists show DataLists' state; every edit
// goes through it.
class FilesTab final : public QWidget {
public:
    explicit FilesTab(DataLists& lists, QWidget* parent = nullptr);

    // The tab came on screen: unsaved edits are dropped.
    void tsLumacorShow();

    QListWidget* lbDataFileDir = nullptr;
    QListWidget* lbRPList = nullptr;
    QListWidget* lbSPList = nullptr;
    QListWidget* lbDBList = nullptr;
    QPushButton* bClearRPList = nullptr;
    QPushButton* bClearSPLlist = nullptr;
    QPushButton* bClearDBList = nullptr;
    QPushButton* bAcceptLumacor = nullptr;
    QPushButton* bCancelLumacor = nullptr;
    QLabel* lblSaveNote = nullptr;

    // Where a drag comes from. Tests replace it: the offscreen platform starts no drags, so
    // their events name no source.
    std::function<const QObject*(const QDropEvent&)> DragSource;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    // The list kind (1..3) whose list or viewport this is; 0 for none.
    int kindOf(QObject* watched) const;
    QListWidget* listOf(int kind) const;

    DataLists& lists_;
};

} // namespace trelk
