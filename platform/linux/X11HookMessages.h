#pragma once

#include "platform/ports/HookMessageReceiver.h"

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <optional>

namespace trelk {

struct HookKeyMessage {
    std::uint32_t virtualKey = 0;
    std::uint32_t flags = 0;
    friend bool operator==(const HookKeyMessage&, const HookKeyMessage&) = default;
};

// The hook library's message in an event of Qt's xcb stream (an xcb_generic_event_t), or
// nothing for any other event: a ClientMessage of messageAtom, format 32, whose first word is
// the message number (TrkHookAbi.h). Sent events (bit 0x80 of the type) count too.
std::optional<HookKeyMessage> DecodeHookMessage(const void* xcbEvent, std::uint32_t messageAtom);

// Takes the hook library's ClientMessages out of Qt's X event stream and hands them to the
// handler, on the main thread and in the order they arrived. Off X11 (offscreen too) no hook
// message can arrive and a handler is kept but never called. Needs the QGuiApplication to
// exist when the first handler is set.
class X11HookMessages final : public HookMessageReceiver, private QAbstractNativeEventFilter {
public:
    X11HookMessages() = default;
    ~X11HookMessages() override;
    X11HookMessages(const X11HookMessages&) = delete;
    X11HookMessages& operator=(const X11HookMessages&) = delete;

    void setHandler(HookMessageHandler handler) override;

private:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    // Interns the message atom on Qt's connection and joins the event stream; false off X11.
    bool install();
    void uninstall();

    HookMessageHandler handler_;
    std::uint32_t messageAtom_ = 0;
    bool installed_ = false;
};

} // namespace trelk
