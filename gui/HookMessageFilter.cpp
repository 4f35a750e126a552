#include "HookMessageFilter.h"

#include "plugins/trkhook/TrkHookAbi.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace trelk {

HookMessageFilter::HookMessageFilter(MainWindow::HookMessageHandler handler)
    : handler_(std::move(handler)) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return; // not on X11 (offscreen too): no hook messages can arrive
    }
    const char* name = TRKHOOK_MESSAGE_ATOM;
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr)) {
        messageAtom_ = reply->atom;
        std::free(reply);
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
}

HookMessageFilter::~HookMessageFilter() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool HookMessageFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (messageAtom_ == 0 || eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
        return false;
    }
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->type != messageAtom_ || client->format != 32 ||
        client->data.data32[0] != TRKHOOK_MESSAGE) {
        return false;
    }
    if (handler_) {
        handler_(client->data.data32[1], client->data.data32[2]);
    }
    return true;
}

} // namespace trelk
