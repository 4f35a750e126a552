#include "WebTab.h"

#include "QtText.h"
#include "TfrmURLcfg.h"
#include "web/UrlEditor.h"
#include "web/UrlList.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPointer>
#include <QStringDecoder>
#include <QUrl>
#include <QVBoxLayout>

namespace trelk {

namespace {

// The address as the list keeps it: percent-encoded, so every character survives the
// single-byte core.
QString Address(const QUrl& url) {
    return url.isValid() ? QString::fromLatin1(url.toEncoded()) : QString();
}

struct DroppedLink {
    QString url;
    QString title;
};

// A link as browsers and file managers offer it: "text/x-moz-url" (UTF-16: the address, a line
// break, the title) carries the title; a URI list carries addresses only. Plain text is no
// link.
DroppedLink LinkOf(const QMimeData* mime) {
    if (mime == nullptr) {
        return {};
    }
    const QByteArray moz = mime->data("text/x-moz-url");
    if (!moz.isEmpty()) {
        QStringDecoder utf16(QStringDecoder::Utf16LE);
        const QStringList parts = QString(utf16(moz)).split('\n');
        if (!parts.isEmpty() && !parts[0].trimmed().isEmpty()) {
            return {Address(QUrl(parts[0].trimmed())),
                    parts.size() > 1 ? parts[1].trimmed() : QString()};
        }
    }
    if (mime->hasUrls() && !mime->urls().isEmpty()) {
        return {Address(mime->urls().front()), {}};
    }
    return {};
}

} // namespace

WebTab::WebTab(UrlList& list, QWidget* parent) : QWidget(parent), list_(list) {
    setObjectName("WebTab");
    auto* layout = new QVBoxLayout(this);
    lblBrowser = new QLabel("Double click to add, edit or delete entries or Drag a link from "
                            "your web browser and drop on the list.",
                            this);
    lblBrowser->setObjectName("lblBrowser");
    lblBrowser->setWordWrap(true);
    layout->addWidget(lblBrowser);

    lvBrowser = new QTreeWidget(this);
    lvBrowser->setObjectName("lvBrowser");
    lvBrowser->setColumnCount(2);
    lvBrowser->setHeaderLabels({"Name", "URL"});
    lvBrowser->setRootIsDecorated(false);
    lvBrowser->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
    lvBrowser->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Grid lines between rows and columns, as a report view draws them.
    lvBrowser->setStyleSheet("QTreeWidget::item { border-right: 1px solid #c0c0c0; "
                             "border-bottom: 1px solid #c0c0c0; }");
    lvBrowser->header()->resizeSection(0, 200);
    lvBrowser->setAcceptDrops(true);
    lvBrowser->viewport()->setAcceptDrops(true);
    lvBrowser->viewport()->installEventFilter(this);
    layout->addWidget(lvBrowser);

    openDialog = [this](int selectedRow) {
        UrlEditor editor(list_);
        editor.Open(selectedRow);
        TfrmURLcfg dialog(editor, this);
        dialog.exec();
        // A dialog closed without OK, Remove or Cancel (its window went) still settles the
        // row.
        editor.Cancel();
    };
    connect(lvBrowser, &QTreeWidget::itemDoubleClicked, this, [this] { lvBrowserDblClick(); });
    list_.addView([guard = QPointer<WebTab>(this)] {
        if (guard) {
            guard->refresh();
        }
    });
    refresh();
}

void WebTab::lvBrowserDblClick() {
    const QList<QTreeWidgetItem*> selected = lvBrowser->selectedItems();
    const int row = selected.isEmpty() ? -1 : lvBrowser->indexOfTopLevelItem(selected.front());
    openDialog(row);
}

bool WebTab::eventFilter(QObject* watched, QEvent* event) {
    if (watched != lvBrowser->viewport()) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::MouseButtonDblClick:
        // A double click below the rows adds one, as on a row it edits that row.
        if (lvBrowser->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint()) == nullptr) {
            lvBrowser->clearSelection();
            lvBrowserDblClick();
            return true;
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (list_.DropTarget() && !LinkOf(drag->mimeData()).url.isEmpty()) {
            drag->acceptProposedAction();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const DroppedLink link = LinkOf(drop->mimeData());
        if (list_.DropTarget() && list_.DropLink(fromQt(link.url), fromQt(link.title))) {
            drop->acceptProposedAction();
        }
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void WebTab::refresh() {
    const int selected = lvBrowser->currentIndex().row();
    lvBrowser->clear();
    for (const UrlListRow& row : list_.Rows()) {
        auto* item = new QTreeWidgetItem(lvBrowser);
        item->setText(0, toQt(row.Name));
        item->setText(1, toQt(row.Url));
    }
    if (selected >= 0 && selected < lvBrowser->topLevelItemCount()) {
        lvBrowser->setCurrentItem(lvBrowser->topLevelItem(selected));
    }
}

} // namespace trelk
