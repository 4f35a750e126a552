#pragma once

struct _XDisplay;

// The game's docked state as the overlay library reads it: the CARDINAL property
// VOIDLINE_DOCKED on the root window, 1 while docked, 0 in flight.
namespace voidline {

class DockedProperty {
public:
    // Opens its own connection to the X server named by DISPLAY; without one, nothing is
    // published.
    DockedProperty();
    ~DockedProperty();
    DockedProperty(const DockedProperty&) = delete;
    DockedProperty& operator=(const DockedProperty&) = delete;

    bool available() const { return display_ != nullptr; }
    void publish(bool docked);
    // The game has gone: no stale "docked" for the next start.
    void remove();

private:
    _XDisplay* display_ = nullptr;
    unsigned long atom_ = 0;
};

} // namespace voidline
