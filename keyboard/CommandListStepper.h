#pragma once

#include "platform/ports/Timers.h"

#include <array>
#include <memory>
#include <string>

namespace trelk {

// The fixed pick list of the program's own slash commands; the last entry is one blank.
inline constexpr std::array<const char*, 17> BuiltinCommandList{
    "//hl",           "//timeon",     "//timeoff",     "//jcmd",    "//ucmd",   "//getmarket",
    "//getroid",      "//load",       "//load+",       "//logon",   "//logoff", "//autostarton",
    "//autostartoff", "//autoexiton", "//autoexitoff", "//viewlog", " "};

// The idle mark of one command list: a press within 2 s of the previous one moves to the next
// entry, a press after a longer pause types the same entry again. The timer runs from
// creation; when it fires it sets its tag to 1 (expired) and stops.
class CommandListStepper {
public:
    static constexpr int IdleMs = 2000;

    CommandListStepper(TimerFactory& timers, std::string timerName);

    // Steps 1 and 2 of a press: stops the timer and returns the index (1-based) of the entry
    // to type for a list of `count` entries (count > 0). An index outside 1..count, left over
    // from a longer list, starts again at the end the step runs towards.
    int Step(int index, int count, bool backwards);
    // After the entry was typed: clears the expired mark and starts the 2 s again.
    void Restart();

    Timer& timer() { return *timer_; }
    bool Expired() const { return timer_->tag() == 1; }

private:
    std::unique_ptr<Timer> timer_;
};

} // namespace trelk
