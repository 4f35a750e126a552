#include "FilesTab.h"

#include "QtText.h"
#include "TabOrder.h"
#include "data/DataLists.h"

#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QVBoxLayout>

namespace trelk {

namespace {

QListWidget* List(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QPushButton* Button(const char* name, const char* text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

// Refilled only on a change, so a drag from the list or a selection survives the others'
// edits.
void Fill(QListWidget* list, const std::vector<std::string>& names) {
    bool same = static_cast<std::size_t>(list->count()) == names.size();
    for (int row = 0; same && row < list->count(); ++row) {
        same = list->item(row)->text() == toQt(names[static_cast<std::size_t>(row)]);
    }
    if (same) {
        return;
    }
    list->clear();
    for (const std::string& name : names) {
        list->addItem(toQt(name));
    }
}

} // namespace

FilesTab::FilesTab(DataLists& lists, QWidget* parent)
    : QWidget(parent), DragSource([](const QDropEvent& event) { return event.source(); }),
      lists_(lists) {
    setObjectName("FilesTab");

    lbDataFileDir = List("lbDataFileDir", this);
    lbDataFileDir->setToolTip("Drag file to one of the lists on the right");
    lbDataFileDir->setDragEnabled(true);
    lbDataFileDir->setDragDropMode(QAbstractItemView::DragOnly);
    lbDataFileDir->setDefaultDropAction(Qt::CopyAction);

    lbRPList = List("lbRPList", this);
    lbSPList = List("lbSPList", this);
    lbDBList = List("lbDBList", this);
    bClearRPList = Button("bClearRPList", "Clear", this);
    bClearSPLlist = Button("bClearSPLlist", "Clear", this);
    bClearDBList = Button("bClearDBList", "Clear", this);
    bAcceptLumacor = Button("bAcceptLumacor", "Save", this);
    bCancelLumacor = Button("bCancelLumacor", "Cancel", this);
    lblSaveNote = new QLabel(
        "Changes On this Page will NOT take affect until the Save button is pressed.", this);
    lblSaveNote->setObjectName("lblSaveNote");
    lblSaveNote->setStyleSheet("color: red;");
    lblSaveNote->setWordWrap(true);

    // Four columns of about 140 pixels share the 612-pixel window.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->addWidget(new QLabel("Data Files", this), 0, 0);
    grid->addWidget(lbDataFileDir, 1, 0, 2, 1);
    const std::array<std::pair<const char*, QPushButton*>, 3> captions = {
        {{"Roid Position List", bClearRPList},
         {"Search Pattern List", bClearSPLlist},
         {"Database List", bClearDBList}}};
    for (int kind = 1; kind <= 3; ++kind) {
        const auto& [caption, clear] = captions[static_cast<std::size_t>(kind - 1)];
        QListWidget* list = listOf(kind);
        auto* label = new QLabel(caption, this);
        label->setBuddy(list);
        grid->addWidget(label, 0, kind);
        grid->addWidget(list, 1, kind);
        grid->addWidget(clear, 2, kind);
        list->setAcceptDrops(true);
        list->viewport()->setAcceptDrops(true);
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
        connect(clear, &QPushButton::clicked, this, [this, kind] { lists_.ClearList(kind); });
    }
    for (int column = 0; column < 4; ++column) {
        grid->setColumnStretch(column, 1);
    }

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblSaveNote, 1);
    bottom->addWidget(bCancelLumacor);
    bottom->addWidget(bAcceptLumacor);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(bottom);

    // Each list with its Clear button, then Cancel and Save as they stand.
    ChainTabOrder(this, {"lbDataFileDir", "lbRPList", "bClearRPList", "lbSPList", "bClearSPLlist",
                         "lbDBList", "bClearDBList", "bCancelLumacor", "bAcceptLumacor"});

    connect(bAcceptLumacor, &QPushButton::clicked, this, [this] { lists_.SaveDataLists(); });
    connect(bCancelLumacor, &QPushButton::clicked, this, [this] { lists_.RestoreDataLists(); });

    // The lists may outlive the tab.
    QPointer<FilesTab> self(this);
    lists_.addView([self] {
        if (self) {
            self->refresh();
        }
    });
    refresh();
}

void FilesTab::tsLumacorShow() {
    lists_.RestoreDataLists();
}

QListWidget* FilesTab::listOf(int kind) const {
    switch (kind) {
    case 1:
        return lbRPList;
    case 2:
        return lbSPList;
    case 3:
        return lbDBList;
    default:
        return nullptr;
    }
}

int FilesTab::kindOf(QObject* watched) const {
    for (int kind = 1; kind <= 3; ++kind) {
        QListWidget* list = listOf(kind);
        if (watched == list || watched == list->viewport()) {
            return kind;
        }
    }
    return 0;
}

bool FilesTab::eventFilter(QObject* watched, QEvent* event) {
    const int kind = kindOf(watched);
    if (kind == 0) {
        return false;
    }
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DragSource(*drag) == lbDataFileDir) {
            drag->acceptProposedAction();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        // The file is the one picked in the file list, whatever the drag carries.
        const QListWidgetItem* item = lbDataFileDir->currentItem();
        if (DragSource(*drop) == lbDataFileDir && item != nullptr) {
            lists_.AddFile(kind, fromQt(item->text()));
            drop->acceptProposedAction();
        } else {
            drop->ignore();
        }
        return true;
    }
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
            const QModelIndexList selected = listOf(kind)->selectionModel()->selectedIndexes();
            if (!selected.isEmpty()) {
                lists_.RemoveFile(kind, selected.front().row());
            }
            return true;
        }
        return false;
    default:
        return false;
    }
}

void FilesTab::refresh() {
    Fill(lbDataFileDir, lists_.DataDirFiles());
    for (int kind = 1; kind <= 3; ++kind) {
        Fill(listOf(kind), lists_.Files(kind));
    }
}

} // namespace trelk
