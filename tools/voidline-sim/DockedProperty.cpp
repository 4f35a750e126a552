#include "DockedProperty.h"

#include "plugins/nexacomms/NexacommsAbi.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace voidline {

DockedProperty::DockedProperty() : display_(XOpenDisplay(nullptr)) {
    if (display_ != nullptr) {
        atom_ = XInternAtom(display_, NEXACOMMS_DOCKED_ATOM, False);
    }
}

DockedProperty::~DockedProperty() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

void DockedProperty::publish(bool docked) {
    if (display_ == nullptr) {
        return;
    }
    // Format 32 data is passed as longs, whatever their width.
    const long value = docked ? 1 : 0;
    XChangeProperty(display_, XDefaultRootWindow(display_), atom_, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
    XFlush(display_);
}

void DockedProperty::remove() {
    if (display_ == nullptr) {
        return;
    }
    XDeleteProperty(display_, XDefaultRootWindow(display_), atom_);
    // Synchronous, so the property is gone before the process is.
    XSync(display_, False);
}

} // namespace voidline
