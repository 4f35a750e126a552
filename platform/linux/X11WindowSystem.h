#pragma once

#include <string>

namespace trelk {

// TrelkPro sees keys and places its console through X11 only: the hook, the overlay library
// and the key injection all speak to an X server. On a Wayland desktop it runs on XWayland, so
// Qt is told to take its xcb platform whatever the session asks for (QT_QPA_PLATFORM), before
// the application object exists. Returns why no X display can be used (no DISPLAY, a display
// that does not answer), or an empty text when one answers.
std::string UseX11WindowSystem();

} // namespace trelk
