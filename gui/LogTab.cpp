#include "LogTab.h"

#include "QtText.h"
#include "log/PilotLog.h"

#include <QFontDatabase>
#include <QPointer>
#include <QVBoxLayout>

namespace trelk {

namespace {

void Refill(QListWidget& list, const PilotLog& log) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(log.Lines().size()));
    for (const std::string& line : log.Lines()) {
        lines << toQt(line);
    }
    list.clear();
    list.addItems(lines);
    list.scrollToBottom();
}

} // namespace

LogTab::LogTab(PilotLog& log, QWidget* parent) : QWidget(parent) {
    setObjectName("LogTab");
    setToolTip("View Log");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lbLogFile = new QListWidget(this);
    lbLogFile->setObjectName("lbLogFile");
    lbLogFile->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lbLogFile->setSelectionMode(QAbstractItemView::SingleSelection);
    lbLogFile->setUniformItemSizes(true);
    layout->addWidget(lbLogFile);

    Refill(*lbLogFile, log);

    // The log may outlive the window.
    QPointer<QListWidget> list = lbLogFile;
    log.addBufferView([list, &log](const LogBufferChange& change) {
        if (list == nullptr) {
            return;
        }
        if (change.kind == LogBufferChange::Kind::Appended) {
            list->addItem(toQt(change.text));
            list->scrollToBottom();
        } else if (change.count == 1) {
            delete list->takeItem(static_cast<int>(change.index));
        } else {
            // A lowered buffer size can drop thousands of lines at once.
            Refill(*list, log);
        }
    });
}

} // namespace trelk
