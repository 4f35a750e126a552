#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>
#include <QVector>
#include <QWidget>
#include <array>

namespace voidline {

class ChatLine;
class DockedProperty;
class RadarDisplay;
class Transcript;

// The game as TrelkPro meets it: a comms screen with a scrolling chat view, the channel bar
// and the chat line, which has the keyboard focus whenever the window is active. The "Docked"
// switch (also F12) stands for the station screens; docked is published for the overlay
// library.
class VoidlineWindow final : public QWidget {
    Q_OBJECT
public:
    VoidlineWindow(Transcript& transcript, DockedProperty& dockedProperty, bool startDocked);

    void selectChannel(int channel);
    void send(const QString& text);
    int channel() const { return channel_; }
    void setDocked(bool docked);
    bool docked() const { return dockedSwitch_->isChecked(); }
    // The radar scope; Ctrl+1..Ctrl+5 switch the blips of Flux, Object, Sol, Oct and Quan.
    RadarDisplay& radar() { return *radar_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The radar goes with the game to another monitor.
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

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
    void refreshDockedLook();

    Transcript& transcript_;
    DockedProperty& dockedProperty_;
    QCheckBox* dockedSwitch_ = nullptr;
    QLabel* flightState_ = nullptr;
    int channel_ = 1;
    QTextEdit* chatView_ = nullptr;
    ChatLine* chatLine_ = nullptr;
    QLabel* prompt_ = nullptr;
    QWidget* inputFrame_ = nullptr;
    std::array<QPushButton*, 5> channelButtons_{};
    QVector<Star> stars_;
    RadarDisplay* radar_ = nullptr;
};

} // namespace voidline
