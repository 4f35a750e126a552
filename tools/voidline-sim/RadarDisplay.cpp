#include "RadarDisplay.h"

#include "radar/CaptureRectangle.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace voidline {

namespace {

struct ContactLook {
    const char* name;
    QColor colour;
    double x, y; // place in the scope, 0..1
};

const std::array<ContactLook, RadarDisplay::ContactCount> Looks{{
    {"flux", QColor(255, 0, 255), 0.18, 0.35},
    {"object", QColor(255, 255, 0), 0.36, 0.68},
    {"sol", QColor(0, 0, 255), 0.55, 0.30},
    {"oct", QColor(255, 0, 0), 0.70, 0.62},
    {"quan", QColor(0, 255, 0), 0.84, 0.40},
}};

// Dark enough for every colour test: red and blue stay under 96, green under 128.
const QColor ScopeColour(8, 34, 20);
const QColor RingColour(30, 110, 60);

} // namespace

RadarDisplay::RadarDisplay(QWidget* game)
    : QWidget(game, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint),
      game_(game) {
    setObjectName("radar");
    setWindowTitle("radar scope"); // not "Voidline": that names the game's own window
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    placeOnScreen();
}

void RadarDisplay::placeOnScreen() {
    // The scanner reads the game's monitor, or the whole X screen where there is one monitor.
    QRect desktop = monitors_.screenOf(game_->geometry());
    if (desktop.isEmpty()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen == nullptr) {
            return;
        }
        desktop = screen->virtualGeometry();
    }
    const trelk::CaptureRectangle area =
        trelk::RadarCaptureRectangle(desktop.width(), desktop.height(), 0, 200);
    setGeometry(desktop.x() + area.Left, desktop.y() + area.Top, area.Width, area.Height);
}

void RadarDisplay::setContact(int contact, bool shown) {
    if (contact < 0 || contact >= ContactCount) {
        return;
    }
    shown_[static_cast<std::size_t>(contact)] = shown;
    update();
}

void RadarDisplay::toggleContact(int contact) {
    setContact(contact, !contactShown(contact));
}

bool RadarDisplay::contactShown(int contact) const {
    return contact >= 0 && contact < ContactCount && shown_[static_cast<std::size_t>(contact)];
}

int RadarDisplay::ContactNamed(const QString& name) {
    for (int contact = 0; contact < ContactCount; ++contact) {
        if (name.compare(Looks[static_cast<std::size_t>(contact)].name, Qt::CaseInsensitive) == 0) {
            return contact;
        }
    }
    return -1;
}

void RadarDisplay::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // No smoothing: a blip's edge must not blend into a colour another kind is tested for.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect(), ScopeColour);
    painter.setPen(QPen(RingColour, 1));
    const QPointF centre(width() / 2.0, height() - 2.0);
    for (int ring = 1; ring <= 3; ++ring) {
        const double radius = width() / 2.0 * ring / 3.0;
        painter.drawEllipse(centre, radius, radius * 0.9);
    }
    painter.drawLine(QPointF(centre.x(), 0), centre);
    painter.setPen(Qt::NoPen);
    const int size = std::max(4, height() / 10);
    for (std::size_t contact = 0; contact < Looks.size(); ++contact) {
        if (!shown_[contact]) {
            continue;
        }
        painter.setBrush(Looks[contact].colour);
        painter.drawRect(static_cast<int>(Looks[contact].x * width()) - size / 2,
                         static_cast<int>(Looks[contact].y * height()) - size / 2, size, size);
    }
}

} // namespace voidline
