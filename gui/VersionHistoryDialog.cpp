#include "VersionHistoryDialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

namespace trelk {

QString VersionHistoryDialog::historyText() {
    return QStringLiteral(
        "Trelk Pro revision history\n"
        "==========================\n"
        "\n"
        "1.00 (Build 1)\n"
        "  - First release for Linux desktops.\n"
        "  - Lives in the notification area; the main window can be hidden and shown from the\n"
        "    tray menu, and stays reachable on desktops without a notification area.\n"
        "  - Settings kept beside the program in trelkpro.ini, saved safely: an interrupted\n"
        "    save never damages the previous file.\n"
        "  - One copy runs at a time.\n");
}

VersionHistoryDialog::VersionHistoryDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("VersionHistoryDialog");
    setWindowTitle("Version History");
    auto* layout = new QVBoxLayout(this);
    auto* text = new QPlainTextEdit(historyText(), this);
    text->setObjectName("HistoryText");
    text->setReadOnly(true);
    QFont fixedPitch(QStringLiteral("Monospace"));
    fixedPitch.setStyleHint(QFont::TypeWriter);
    text->setFont(fixedPitch);
    // The history breaks its own lines: the view is as wide as its widest line.
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics metrics(fixedPitch);
    int widest = 0;
    for (const QString& line : historyText().split(QLatin1Char('\n'))) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    text->setMinimumWidth(widest + 2 * static_cast<int>(text->document()->documentMargin()) +
                          2 * text->frameWidth() +
                          text->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 360);
}

} // namespace trelk
