#pragma once

#include <QString>
#include <cstdint>

struct xkb_context;
struct xkb_compose_table;
struct xkb_compose_state;

namespace voidline {

// The chat line's dead keys, composed as a text input composes them: by the compose rules of
// the locale named by LC_ALL, LC_CTYPE or LANG (else "C"), one key press after another. The
// chat line composes itself rather than through Qt's input context, which hands a composed
// character to the line at once, ahead of plain keys still queued: fast typing would arrive
// out of order.
class DeadKeys {
public:
    DeadKeys();
    ~DeadKeys();
    DeadKeys(const DeadKeys&) = delete;
    DeadKeys& operator=(const DeadKeys&) = delete;

    enum class Result {
        Pass,      // the key types as it is
        Swallowed, // part of a sequence: nothing to type yet
        Composed,  // the sequence is complete: type composed()
    };
    // Each key press, by its keysym.
    Result press(std::uint32_t keysym);
    const QString& composed() const { return composed_; }

private:
    xkb_context* context_ = nullptr;
    xkb_compose_table* table_ = nullptr;
    xkb_compose_state* state_ = nullptr;
    QString composed_;
};

} // namespace voidline
