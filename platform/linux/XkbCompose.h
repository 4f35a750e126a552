#pragma once

#include <cstdint>
#include <optional>

struct xkb_context;
struct xkb_compose_table;
struct xkb_compose_state;

namespace trelk {

// The compose rules that a text input applies to dead keys: those of the locale named by
// LC_ALL, LC_CTYPE or LANG (the first that is set), or of "C", read as the toolkits read them
// (the locale's Compose file, XCOMPOSEFILE or ~/.XCompose). Loaded at the first question.
class XkbCompose {
public:
    XkbCompose() = default;
    ~XkbCompose();
    XkbCompose(const XkbCompose&) = delete;
    XkbCompose& operator=(const XkbCompose&) = delete;

    // The one character (a Unicode code point) that the two keysyms compose to; nullopt when
    // they are no sequence, compose to more than one character, or there are no rules.
    std::optional<std::uint32_t> compose(std::uint32_t first, std::uint32_t second);

private:
    bool load();

    bool loaded_ = false;
    xkb_context* context_ = nullptr;
    xkb_compose_table* table_ = nullptr;
    xkb_compose_state* state_ = nullptr;
};

} // namespace trelk
