#include "XkbCompose.h"

#include <array>
#include <cstdlib>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace trelk {

namespace {

const char* ComposeLocale() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "C";
}

// The code point of a UTF-8 text of exactly one character; nullopt otherwise.
std::optional<std::uint32_t> SingleCodePoint(const char* text, int length) {
    if (length <= 0) {
        return std::nullopt;
    }
    const auto lead = static_cast<unsigned char>(text[0]);
    int count = 1;
    std::uint32_t code = lead;
    if (lead >= 0xF0) {
        count = 4;
        code = lead & 0x07u;
    } else if (lead >= 0xE0) {
        count = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xC0) {
        count = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0x80) {
        return std::nullopt;
    }
    if (length != count) {
        return std::nullopt;
    }
    for (int i = 1; i < count; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0u) != 0x80u) {
            return std::nullopt;
        }
        code = (code << 6) | (next & 0x3Fu);
    }
    return code;
}

} // namespace

XkbCompose::~XkbCompose() {
    xkb_compose_state_unref(state_);
    xkb_compose_table_unref(table_);
    xkb_context_unref(context_);
}

bool XkbCompose::load() {
    if (!loaded_) {
        loaded_ = true;
        context_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        if (context_ != nullptr) {
            table_ = xkb_compose_table_new_from_locale(context_, ComposeLocale(),
                                                       XKB_COMPOSE_COMPILE_NO_FLAGS);
        }
        if (table_ != nullptr) {
            state_ = xkb_compose_state_new(table_, XKB_COMPOSE_STATE_NO_FLAGS);
        }
    }
    return state_ != nullptr;
}

std::optional<std::uint32_t> XkbCompose::compose(std::uint32_t first, std::uint32_t second) {
    if (!load()) {
        return std::nullopt;
    }
    xkb_compose_state_reset(state_);
    xkb_compose_state_feed(state_, first);
    xkb_compose_state_feed(state_, second);
    if (xkb_compose_state_get_status(state_) != XKB_COMPOSE_COMPOSED) {
        return std::nullopt;
    }
    std::array<char, 16> text{};
    const int length = xkb_compose_state_get_utf8(state_, text.data(), text.size());
    if (length >= static_cast<int>(text.size())) {
        return std::nullopt;
    }
    return SingleCodePoint(text.data(), length);
}

} // namespace trelk
