#pragma once

#include "core/HookSlots.h"
#include "platform/ports/Timers.h"

#include <functional>
#include <memory>
#include <string>

namespace trelk {

class OverlayLibrary;

// Docked or in flight: asks the overlay library every two seconds, keeps the docked flag,
// makes the console opaque while docked, and logs each change once. Main thread only.
class StationDetection {
public:
    struct Hooks {
        std::function<void(const std::string&)> addLogLine{}; // the pilot log's AddLogLine
        std::function<void(int)> setConsoleOpacity{}; // ConsoleAppearance: ConsoleOpacity, 0..255
        std::function<int()> inFlightOpacity{};       // ConsoleAppearance: the spedtT value
        std::function<void()> renderConsole{};        // ConsolePage::RenderConsole
    };

    static constexpr int IntervalMs = 2000;
    static constexpr int DockedOpacity = 255;
    static constexpr const char* DockedLine = "Docked(Non-Flight Scrn)";
    static constexpr const char* FlightLine = "In Flight";

    StationDetection(TimerFactory& timers, OverlayLibrary& overlay, Hooks hooks);

    // Start-up: the poll runs until Stop (the main window closing).
    void Start() { tmrStationSearch_->setEnabled(true); }
    void Stop() { tmrStationSearch_->setEnabled(false); }
    bool Running() const { return tmrStationSearch_->enabled(); }

    // Read by the key dispatcher and the console's in-station refresh.
    bool Docked() const { return docked_; }
    const Hooks& hooks() const { return hooks_; }

    // One poll; the timer's handler.
    void tmrStationSearchTimer();

private:
    OverlayLibrary& overlay_;
    Hooks hooks_;
    std::unique_ptr<Timer> tmrStationSearch_;
    bool docked_ = false;
    bool dockedLogged_ = false;
    bool flightLogged_ = false;
};

template <> struct HookSlotList<StationDetection::Hooks> {
    using S = StationDetection::Hooks;
    static constexpr const char* Name = "StationDetection::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, addLogLine), TRELK_HOOK_SLOT(S, setConsoleOpacity),
        TRELK_HOOK_SLOT(S, inFlightOpacity), TRELK_HOOK_SLOT(S, renderConsole)};
};
static_assert(ListsEverySlot<StationDetection::Hooks>());

} // namespace trelk
