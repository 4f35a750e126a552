#pragma once

#include "GameMonitors.h"

#include <QWidget>
#include <array>

namespace voidline {

// The game's radar: a small scope drawn in its own always-on-top window at the rectangle of
// the game's monitor where TrelkPro's scanner looks, with a blip for each kind of contact that is
// switched on. Blips have the pure colours of their kind; the scope itself is drawn in dark
// greens that no kind's colour test takes for a contact.
class RadarDisplay final : public QWidget {
public:
    // In the order of the scan target codes.
    enum Contact { Flux, Object, Sol, Oct, Quan, ContactCount };

    explicit RadarDisplay(QWidget* game);

    void setContact(int contact, bool shown);
    void toggleContact(int contact);
    bool contactShown(int contact) const;
    // "flux", "object", "sol", "oct", "quan"; -1 for any other name.
    static int ContactNamed(const QString& name);

    // To the scanner's rectangle of the monitor the game is on (the game moved).
    void placeOnScreen();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<bool, ContactCount> shown_{};
    QWidget* game_;
    GameMonitors monitors_;
};

} // namespace voidline
