#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVector>
#include <QWidget>
#include <array>

namespace voidline {

class ChatLine;
class Transcript;

// The game as TrelkPro meets it: a comms screen with a scrolling chat view, the channel bar
// and the chat line, which has the keyboard focus whenever the window is active.
class VoidlineWindow final : public QWidget {
    Q_OBJECT
public:
    explicit VoidlineWindow(Transcript& transcript);

    void selectChannel(int channel);
    void send(const QString& text);
    int channel() const { return channel_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Star {
        double x, y, radius;
        int alpha;
    };
    QWidget* buildHeader();
    QWidget* buildChannelBar();
    QWidget* buildInputRow();
    void appendSystemLine(const QString& text);
    void refreshChannelLook();

    Transcript& transcript_;
    int channel_ = 1;
    QTextEdit* chatView_ = nullptr;
    ChatLine* chatLine_ = nullptr;
    QLabel* prompt_ = nullptr;
    QWidget* inputFrame_ = nullptr;
    std::array<QPushButton*, 5> channelButtons_{};
    QVector<Star> stars_;
};

} // namespace voidline
