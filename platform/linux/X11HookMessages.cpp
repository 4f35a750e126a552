#include "X11HookMessages.h"

#include "StageStamps.h"
#include "plugins/trkhook/TrkHookAbi.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace trelk {

std::optional<HookKeyMessage> DecodeHookMessage(const void* xcbEvent, std::uint32_t messageAtom) {
    const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
    if (event == nullptr || messageAtom == 0 ||
        (event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
        return std::nullopt;
    }
    const auto* client = static_cast<const xcb_client_message_event_t*>(xcbEvent);
    if (client->type != messageAtom || client->format != 32 ||
        client->data.data32[0] != TRKHOOK_MESSAGE) {
        return std::nullopt;
    }
    return HookKeyMessage{client->data.data32[1], client->data.data32[2]};
}

X11HookMessages::~X11HookMessages() {
    uninstall();
}

void X11HookMessages::setHandler(HookMessageHandler handler) {
    handler_ = std::move(handler);
    if (!handler_) {
        uninstall();
    } else if (!installed_) {
        installed_ = install();
    }
}

bool X11HookMessages::install() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return false;
    }
    if (messageAtom_ == 0) {
        const char* name = TRKHOOK_MESSAGE_ATOM;
        const auto cookie =
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        if (xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr)) {
            messageAtom_ = reply->atom;
            std::free(reply);
        }
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

void X11HookMessages::uninstall() {
    if (installed_ && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    installed_ = false;
}

bool X11HookMessages::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const std::optional<HookKeyMessage> key = DecodeHookMessage(message, messageAtom_);
    if (!key) {
        return false;
    }
    StageStamp("received");
    if (handler_) {
        handler_(key->virtualKey, key->flags);
    }
    return true;
}

} // namespace trelk
