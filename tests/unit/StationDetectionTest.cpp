// Station detection on the manual clock, asking the sim overlay library.

#include "radar/StationDetection.h"

#include "console/OverlayLibrary.h"
#include "core/TraceOutput.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimDebugOutput.h"
#include "platform/sim/SimLibraryLoader.h"
#include "platform/sim/SimOverlayLibrary.h"
#include "platform/sim/SimTimerFactory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* AppDir = "/opt/trelk/";

class StationDetectionTest : public ::testing::Test {
protected:
    StationDetectionTest() {
        libraries.registerLibrary(std::string(AppDir) + "nexacomms.so",
                                  SimOverlayLibrary::Exports());
        EXPECT_EQ(overlay.LoadOverlayLibrary(), std::nullopt);
        trace.setEnabled(true);
        station.Start();
    }
    // One tick per answer; what was logged after each tick, joined.
    std::vector<std::string> tick(std::initializer_list<std::uint8_t> answers) {
        std::vector<std::string> perTick;
        for (const std::uint8_t answer : answers) {
            sim.setDocked(answer);
            logLines.clear();
            timers.advance(StationDetection::IntervalMs);
            std::string logged;
            for (const std::string& line : logLines) {
                logged += line + ";";
            }
            perTick.push_back(logged);
        }
        return perTick;
    }

    ManualClock clock;
    SimTimerFactory timers{clock};
    SimDebugOutput debug;
    TraceOutput trace{debug};
    SimLibraryLoader libraries;
    SimOverlayLibrary sim;
    OverlayLibrary overlay{libraries, trace, AppDir};
    std::vector<std::string> logLines;
    std::vector<int> opacities;
    int inFlightOpacity = 170;
    int renders = 0;
    StationDetection station{
        timers,
        overlay,
        {.addLogLine = [this](const std::string& line) { logLines.push_back(line); },
         .setConsoleOpacity = [this](int opacity) { opacities.push_back(opacity); },
         .inFlightOpacity = [this] { return inFlightOpacity; },
         .renderConsole = [this] { ++renders; }}};
};

TEST_F(StationDetectionTest, EachChangeIsLoggedOnceAndSetsTheOpacity) {
    EXPECT_THAT(tick({0, 1, 1}), ElementsAre("", "Docked(Non-Flight Scrn);", ""));
    EXPECT_TRUE(station.Docked());
    EXPECT_EQ(renders, 1);
    // While docked the spin value waits for the undocking.
    inFlightOpacity = 90;
    EXPECT_THAT(tick({0, 0}), ElementsAre("In Flight;", ""));
    EXPECT_FALSE(station.Docked());
    EXPECT_EQ(renders, 2);
    EXPECT_THAT(opacities, ElementsAre(255, 255, 90));
    EXPECT_EQ(debug.lines().front(), "TrelkPro: NexaCGetOnStationMode return value = false");
    EXPECT_EQ(debug.lines()[1], "TrelkPro: NexaCGetOnStationMode return value = true");

    // Docking again logs again; an answer other than 1 is flight.
    EXPECT_THAT(tick({1, 2}), ElementsAre("Docked(Non-Flight Scrn);", "In Flight;"));
}

TEST_F(StationDetectionTest, FlightFromStartUpChangesNothingAndStopEndsThePoll) {
    EXPECT_THAT(tick({0, 0}), ElementsAre("", ""));
    EXPECT_THAT(opacities, IsEmpty());
    EXPECT_EQ(renders, 0);
    EXPECT_EQ(sim.calls().size(), 2u);

    station.Stop();
    sim.setDocked(1);
    timers.advance(10 * StationDetection::IntervalMs);
    EXPECT_EQ(sim.calls().size(), 2u);
    EXPECT_FALSE(station.Docked());
}

} // namespace
} // namespace trelk
