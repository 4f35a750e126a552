#pragma once

#include <QLineEdit>

namespace voidline {

// The chat input line: F1..F5 pick the channel, Enter sends, Escape clears, Backspace and
// the cursor keys edit. Tab stays in the line, as in the game.
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
};

} // namespace voidline
