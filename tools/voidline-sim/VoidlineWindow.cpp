#include "VoidlineWindow.h"

#include "ChatChannels.h"
#include "ChatLine.h"
#include "DockedProperty.h"
#include "RadarDisplay.h"
#include "Transcript.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QShortcut>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace voidline {

namespace {

QString Css(const QColor& colour, int alpha = 255) {
    return QString("rgba(%1,%2,%3,%4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(alpha);
}

const QColor TextColour(0xe6, 0xed, 0xf7);
const QColor PanelColour(0x0a, 0x10, 0x22);

// Opaque, so the stars stay behind the channel buttons.
QColor Tint(const QColor& colour) {
    const auto mix = [](int panel, int tint) { return (panel * 4 + tint) / 5; };
    return {mix(PanelColour.red(), colour.red()), mix(PanelColour.green(), colour.green()),
            mix(PanelColour.blue(), colour.blue())};
}
const QColor DimColour(0x6f, 0x7d, 0x96);

} // namespace

VoidlineWindow::VoidlineWindow(Transcript& transcript, DockedProperty& dockedProperty,
                               bool startDocked)
    : transcript_(transcript), dockedProperty_(dockedProperty) {
    setObjectName("Voidline");
    setWindowTitle("Voidline");
    resize(880, 560);
    setMinimumSize(560, 360);
    setAttribute(Qt::WA_OpaquePaintEvent);

    // A fixed sky: the same stars on every start.
    QRandomGenerator random(1977);
    for (int i = 0; i < 260; ++i) {
        const double size = random.bounded(1.0);
        stars_.push_back({random.bounded(1.0), random.bounded(1.0), 0.4 + size * size * 1.4,
                          60 + random.bounded(190)});
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 16);
    layout->setSpacing(10);
    layout->addWidget(buildHeader());

    chatView_ = new QTextEdit(this);
    chatView_->setObjectName("chatView");
    chatView_->setReadOnly(true);
    chatView_->setFocusPolicy(Qt::NoFocus);
    chatView_->document()->setMaximumBlockCount(500);
    chatView_->setStyleSheet(
        "QTextEdit { background: rgba(6, 12, 28, 185); color: #e6edf7;"
        " border: 1px solid rgba(110, 160, 230, 60); border-radius: 8px; padding: 8px;"
        " font-family: 'DejaVu Sans Mono', 'Noto Sans Mono', monospace; font-size: 10.5pt; }"
        "QScrollBar:vertical { background: transparent; width: 8px; margin: 4px; }"
        "QScrollBar::handle:vertical { background: rgba(140, 180, 240, 90); border-radius: 3px;"
        " min-height: 24px; }"
        "QScrollBar::add-line, QScrollBar::sub-line { height: 0; }");
    layout->addWidget(chatView_, 1);
    layout->addWidget(buildChannelBar());
    layout->addWidget(buildInputRow());

    appendSystemLine("Comms online. Welcome aboard, pilot.");
    appendSystemLine("F1 Local · F2 Squad · F3 Trade · F4 Help · F5 Faction — Enter sends, "
                     "Esc clears the line. F12 docks and undocks.");
    appendSystemLine("Radar contacts: Ctrl+1 Flux · Ctrl+2 Object · Ctrl+3 Sol · Ctrl+4 Oct · "
                     "Ctrl+5 Quan switch their blips on and off.");
    refreshChannelLook();

    // F12: the pilot's hands stay on the keyboard, and the chat line never types it.
    auto* dockKey = new QShortcut(QKeySequence(Qt::Key_F12), this);
    connect(dockKey, &QShortcut::activated, this, [this] { setDocked(!docked()); });
    radar_ = new RadarDisplay(this);
    for (int contact = 0; contact < RadarDisplay::ContactCount; ++contact) {
        auto* blipKey = new QShortcut(QKeySequence(Qt::CTRL | (Qt::Key_1 + contact)), this);
        connect(blipKey, &QShortcut::activated, this,
                [this, contact] { radar_->toggleContact(contact); });
    }
    dockedSwitch_->setChecked(startDocked);
    connect(dockedSwitch_, &QCheckBox::toggled, this, [this] { refreshDockedLook(); });
    refreshDockedLook();
}

QWidget* VoidlineWindow::buildHeader() {
    auto* header = new QWidget(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(2, 0, 2, 0);
    auto* title = new QLabel("V O I D L I N E", header);
    title->setStyleSheet("color: #e9f1ff; font-size: 17pt; font-weight: 600;");
    auto* place = new QLabel("Kessa Reach · comms deck", header);
    place->setStyleSheet("color: #7fa6d9; font-size: 10pt; padding-top: 6px;");
    row->addWidget(title);
    row->addSpacing(14);
    row->addWidget(place);
    row->addStretch(1);
    flightState_ = new QLabel(header);
    flightState_->setObjectName("flightState");
    row->addWidget(flightState_);
    row->addSpacing(12);
    dockedSwitch_ = new QCheckBox("Docked", header);
    dockedSwitch_->setObjectName("dockedSwitch");
    // A click must not take the keyboard from the chat line.
    dockedSwitch_->setFocusPolicy(Qt::NoFocus);
    dockedSwitch_->setToolTip("Station screens (F12)");
    dockedSwitch_->setStyleSheet("QCheckBox { color: #c9d6ea; font-size: 10pt; }");
    row->addWidget(dockedSwitch_);
    return header;
}

QWidget* VoidlineWindow::buildChannelBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    for (int number = 1; number <= ChannelCount; ++number) {
        const ChatChannel& channel = Channel(number);
        auto* button = new QPushButton(QString("F%1  %2").arg(number).arg(channel.name), bar);
        button->setObjectName(QString("channel%1").arg(number));
        button->setFocusPolicy(Qt::NoFocus);
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QPushButton::clicked, this, [this, number] { selectChannel(number); });
        channelButtons_[static_cast<std::size_t>(number - 1)] = button;
        row->addWidget(button);
    }
    row->addStretch(1);
    return bar;
}

QWidget* VoidlineWindow::buildInputRow() {
    inputFrame_ = new QWidget(this);
    inputFrame_->setObjectName("inputFrame");
    inputFrame_->setAttribute(Qt::WA_StyledBackground);
    auto* row = new QHBoxLayout(inputFrame_);
    row->setContentsMargins(12, 6, 12, 6);
    prompt_ = new QLabel(inputFrame_);
    chatLine_ = new ChatLine(inputFrame_);
    chatLine_->setStyleSheet("QLineEdit { background: transparent; border: none; color: #e6edf7;"
                             " font-size: 11pt; selection-background-color: #2d5fa8; }");
    row->addWidget(prompt_);
    row->addWidget(chatLine_, 1);
    setFocusProxy(chatLine_);
    connect(chatLine_, &ChatLine::channelSelected, this, &VoidlineWindow::selectChannel);
    connect(chatLine_, &ChatLine::submitted, this, &VoidlineWindow::send);
    return inputFrame_;
}

void VoidlineWindow::selectChannel(int channel) {
    channel_ = Channel(channel).number;
    refreshChannelLook();
}

void VoidlineWindow::refreshChannelLook() {
    const ChatChannel& current = Channel(channel_);
    for (int number = 1; number <= ChannelCount; ++number) {
        const QColor colour = Channel(number).colour;
        QPushButton* button = channelButtons_[static_cast<std::size_t>(number - 1)];
        button->setStyleSheet(
            number == channel_
                ? QString("QPushButton { background: %1; border: 1px solid %2; color: %2;"
                          " border-radius: 12px; padding: 4px 14px; font-weight: 600; }")
                      .arg(Css(Tint(colour)), Css(colour))
                : QString("QPushButton { background: rgba(10, 16, 34, 215);"
                          " border: 1px solid rgba(255,255,255,22); color: %1;"
                          " border-radius: 12px; padding: 4px 14px; }"
                          "QPushButton:hover { color: %2; border-color: %3; }")
                      .arg(Css(DimColour), Css(colour), Css(colour, 120)));
    }
    prompt_->setText(QString("[%1] ›").arg(current.name));
    prompt_->setStyleSheet(
        QString("color: %1; font-size: 11pt; font-weight: 600;").arg(Css(current.colour)));
    inputFrame_->setStyleSheet(QString("#inputFrame { background: rgba(6, 12, 28, 215);"
                                       " border: 1px solid %1; border-radius: 8px; }")
                                   .arg(Css(current.colour, 150)));
}

void VoidlineWindow::setDocked(bool docked) {
    dockedSwitch_->setChecked(docked);
}

void VoidlineWindow::refreshDockedLook() {
    const bool isDocked = docked();
    dockedProperty_.publish(isDocked);
    flightState_->setText(isDocked ? "Docked" : "In flight");
    flightState_->setStyleSheet(
        QString("color: %1; font-size: 10pt;").arg(isDocked ? "#f0b44c" : "#5fe08a"));
}

void VoidlineWindow::send(const QString& text) {
    chatLine_->clear();
    if (text.trimmed().isEmpty()) {
        return;
    }
    transcript_.record(channel_, text);
    const ChatChannel& channel = Channel(channel_);
    chatView_->append(QString("<span style='color:%1'>%2</span>&nbsp;"
                              "<span style='color:%3; font-weight:600'>[%4]</span>&nbsp;"
                              "<span style='color:%3'>You:</span>&nbsp;"
                              "<span style='color:%5'>%6</span>")
                          .arg(Css(DimColour), QTime::currentTime().toString("HH:mm"),
                               Css(channel.colour), channel.name, Css(TextColour),
                               text.toHtmlEscaped()));
    chatView_->verticalScrollBar()->setValue(chatView_->verticalScrollBar()->maximum());
}

void VoidlineWindow::appendSystemLine(const QString& text) {
    chatView_->append(QString("<span style='color:%1'>&#8212; %2</span>")
                          .arg(Css(QColor(0x8f, 0xb4, 0xe8)), text.toHtmlEscaped()));
}

void VoidlineWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    radar_->placeOnScreen();
    radar_->show();
    // The game owns the keyboard when it comes up: what is typed goes to the chat line.
    QTimer::singleShot(0, this, [this] {
        raise();
        activateWindow();
        chatLine_->setFocus(Qt::ActiveWindowFocusReason);
    });
}

void VoidlineWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (radar_ != nullptr) {
        radar_->placeOnScreen();
    }
}

void VoidlineWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (radar_ != nullptr) {
        radar_->placeOnScreen();
    }
}

void VoidlineWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect();
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(0x04, 0x06, 0x10));
    sky.setColorAt(1, QColor(0x0a, 0x14, 0x2e));
    painter.fillRect(area, sky);

    // Two faint nebulae.
    QRadialGradient violet(area.width() * 0.78, area.height() * 0.22, area.width() * 0.45);
    violet.setColorAt(0, QColor(120, 60, 190, 70));
    violet.setColorAt(1, QColor(120, 60, 190, 0));
    painter.fillRect(area, violet);
    QRadialGradient teal(area.width() * 0.12, area.height() * 0.85, area.width() * 0.4);
    teal.setColorAt(0, QColor(30, 140, 170, 55));
    teal.setColorAt(1, QColor(30, 140, 170, 0));
    painter.fillRect(area, teal);

    painter.setPen(Qt::NoPen);
    for (const Star& star : stars_) {
        painter.setBrush(QColor(225, 235, 255, star.alpha));
        painter.drawEllipse(QPointF(star.x * area.width(), star.y * area.height()), star.radius,
                            star.radius);
    }
}

} // namespace voidline
