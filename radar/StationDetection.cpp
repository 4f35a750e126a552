#include "radar/StationDetection.h"

#include "console/OverlayLibrary.h"

namespace trelk {

namespace {

void Run(const std::function<void()>& hook) {
    if (hook) {
        hook();
    }
}

} // namespace

StationDetection::StationDetection(TimerFactory& timers, OverlayLibrary& overlay, Hooks hooks)
    : overlay_(overlay), hooks_(std::move(hooks)),
      tmrStationSearch_(timers.createTimer("tmrStationSearch", IntervalMs)) {
    tmrStationSearch_->setHandler([this] { tmrStationSearchTimer(); });
}

void StationDetection::tmrStationSearchTimer() {
    // The library traces the call with its answer.
    if (overlay_.NexaCGetOnStationMode()) {
        flightLogged_ = false;
        docked_ = true;
        if (hooks_.setConsoleOpacity) {
            hooks_.setConsoleOpacity(DockedOpacity);
        }
        if (!dockedLogged_) {
            Run(hooks_.renderConsole);
            if (hooks_.addLogLine) {
                hooks_.addLogLine(DockedLine);
            }
            dockedLogged_ = true;
        }
        return;
    }
    // The first in-flight answers after start-up change nothing: flight is the initial state.
    if (!docked_) {
        return;
    }
    dockedLogged_ = false;
    docked_ = false;
    if (hooks_.setConsoleOpacity && hooks_.inFlightOpacity) {
        hooks_.setConsoleOpacity(hooks_.inFlightOpacity());
    }
    if (!flightLogged_) {
        Run(hooks_.renderConsole);
        if (hooks_.addLogLine) {
            hooks_.addLogLine(FlightLine);
        }
        flightLogged_ = true;
    }
}

} // namespace trelk
