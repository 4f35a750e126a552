#include "ChatLine.h"

#include "ChatChannels.h"

#include <QKeyEvent>

namespace voidline {

ChatLine::ChatLine(QWidget* parent) : QLineEdit(parent) {
    setObjectName("chatLine");
    setPlaceholderText("Say something…  (Enter sends, Esc clears, F1–F5 switch channel)");
    setMaxLength(250);
    // Dead keys are composed here, in order with the other keys (DeadKeys).
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

QVariant ChatLine::inputMethodQuery(Qt::InputMethodQuery query) const {
    // Qt's own compose runs only for a focus object that accepts input methods.
    if (query == Qt::ImEnabled) {
        return false;
    }
    return QLineEdit::inputMethodQuery(query);
}

void ChatLine::keyPressEvent(QKeyEvent* event) {
    switch (deadKeys_.press(event->nativeVirtualKey())) {
    case DeadKeys::Result::Swallowed:
        return;
    case DeadKeys::Result::Composed:
        if (IsTypable(deadKeys_.composed())) {
            insert(deadKeys_.composed());
        }
        return;
    case DeadKeys::Result::Pass:
        break;
    }
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
    if (IsTypable(event->text())) {
        QLineEdit::keyPressEvent(event);
    }
}

// The chat takes what its code page can hold; anything else never reaches the line.
bool ChatLine::IsTypable(const QString& text) {
    for (const QChar c : text) {
        if (c.isPrint() && !IsWindows1252(c)) {
            return false;
        }
    }
    return true;
}

bool ChatLine::focusNextPrevChild(bool /*next*/) {
    return false;
}

} // namespace voidline
