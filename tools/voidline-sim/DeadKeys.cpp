#include "DeadKeys.h"

#include <QByteArray>
#include <cstdlib>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace voidline {

namespace {

const char* Locale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "C";
}

} // namespace

DeadKeys::DeadKeys() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {
    if (context_ != nullptr) {
        table_ =
            xkb_compose_table_new_from_locale(context_, Locale(), XKB_COMPOSE_COMPILE_NO_FLAGS);
    }
    if (table_ != nullptr) {
        state_ = xkb_compose_state_new(table_, XKB_COMPOSE_STATE_NO_FLAGS);
    }
}

DeadKeys::~DeadKeys() {
    xkb_compose_state_unref(state_);
    xkb_compose_table_unref(table_);
    xkb_context_unref(context_);
}

DeadKeys::Result DeadKeys::press(std::uint32_t keysym) {
    if (state_ == nullptr || keysym == 0) {
        return Result::Pass;
    }
    // Modifier keys are ignored by the rules and leave a sequence waiting.
    if (xkb_compose_state_feed(state_, keysym) == XKB_COMPOSE_FEED_IGNORED) {
        return xkb_compose_state_get_status(state_) == XKB_COMPOSE_COMPOSING ? Result::Swallowed
                                                                             : Result::Pass;
    }
    switch (xkb_compose_state_get_status(state_)) {
    case XKB_COMPOSE_COMPOSING:
        return Result::Swallowed;
    case XKB_COMPOSE_COMPOSED: {
        QByteArray text(xkb_compose_state_get_utf8(state_, nullptr, 0) + 1, '\0');
        xkb_compose_state_get_utf8(state_, text.data(), static_cast<std::size_t>(text.size()));
        composed_ = QString::fromUtf8(text.constData());
        xkb_compose_state_reset(state_);
        return Result::Composed;
    }
    case XKB_COMPOSE_CANCELLED:
        // No such sequence: the dead key is dropped and this key types on its own.
        xkb_compose_state_reset(state_);
        return Result::Pass;
    case XKB_COMPOSE_NOTHING:
    default:
        return Result::Pass;
    }
}

} // namespace voidline
