#include "ChatLine.h"

#include "ChatChannels.h"

#include <QKeyEvent>

namespace voidline {

ChatLine::ChatLine(QWidget* parent) : QLineEdit(parent) {
    setObjectName("chatLine");
    setPlaceholderText("Say something…  (Enter sends, Esc clears, F1–F5 switch channel)");
    setMaxLength(250);
}

void ChatLine::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F5) {
        emit channelSelected(key - Qt::Key_F1 + 1);
        return;
    }
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit submitted(text());
        return;
    case Qt::Key_Escape:
        clear();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return;
    default:
        break;
    }
    // The chat takes what its code page can hold; anything else never reaches the line.
    for (const QChar c : event->text()) {
        if (c.isPrint() && !IsWindows1252(c)) {
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

bool ChatLine::focusNextPrevChild(bool /*next*/) {
    return false;
}

} // namespace voidline
