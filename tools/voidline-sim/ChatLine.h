#pragma once

#include "DeadKeys.h"

#include <QLineEdit>

namespace voidline {

// The chat input line: F1..F5 pick the channel, Enter sends, Escape clears, Backspace and
// the cursor keys edit. Tab stays in the line, as in the game. Dead keys compose with the key
// after them.
class ChatLine final : public QLineEdit {
    Q_OBJECT
public:
    explicit ChatLine(QWidget* parent = nullptr);

signals:
    void channelSelected(int channel);
    void submitted(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    static bool IsTypable(const QString& text);

    DeadKeys deadKeys_;
};

} // namespace voidline
