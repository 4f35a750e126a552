// Binding the overlay library on the sim platform: the lookup order, the failure messages,
// each wrapper's call and trace, and the shutdown step.

#include "console/OverlayLibrary.h"

#include "core/TraceOutput.h"
#include "platform/sim/SimDebugOutput.h"
#include "platform/sim/SimLibraryLoader.h"
#include "platform/sim/SimOverlayLibrary.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace trelk {
namespace {

using Strings = std::vector<std::string>;
using Args = std::vector<std::int32_t>;

constexpr const char* AppDir = "/opt/trelk/";
const std::string LibraryPath = std::string(AppDir) + "nexacomms.so";

// Remembers every name looked up, in order.
class LookupLog final : public LibraryLoader {
public:
    explicit LookupLog(LibraryLoader& inner) : inner_(inner) {}
    std::unique_ptr<LoadedLibrary> load(const std::string& path, std::string& error) override {
        auto library = inner_.load(path, error);
        return library ? std::make_unique<Logged>(std::move(library), names) : nullptr;
    }
    Strings names;

private:
    class Logged final : public LoadedLibrary {
    public:
        Logged(std::unique_ptr<LoadedLibrary> inner, Strings& names)
            : inner_(std::move(inner)), names_(names) {}
        void* symbol(const std::string& name) override {
            names_.push_back(name);
            return inner_->symbol(name);
        }

    private:
        std::unique_ptr<LoadedLibrary> inner_;
        Strings& names_;
    };
    LibraryLoader& inner_;
};

class OverlayLibraryTest : public ::testing::Test {
protected:
    OverlayLibraryTest() { trace.setEnabled(true); }

    void install(SimLibraryLoader::Exports exports = SimOverlayLibrary::Exports()) {
        libraries.registerLibrary(LibraryPath, std::move(exports));
    }
    void bind() {
        install();
        ASSERT_EQ(overlay.LoadOverlayLibrary(), std::nullopt);
        debug.clear();
    }
    // The one call the library saw, and the trace lines written for it.
    void expectCall(const std::string& name, const Args& args, const Strings& lines) {
        ASSERT_EQ(sim.calls().size(), 1u) << name;
        EXPECT_EQ(sim.calls()[0].name, name);
        EXPECT_EQ(sim.calls()[0].args, args) << name;
        EXPECT_EQ(debug.lines(), lines) << name;
        sim.clearCalls();
        debug.clear();
    }

    SimDebugOutput debug;
    TraceOutput trace{debug};
    SimLibraryLoader libraries;
    LookupLog loader{libraries};
    SimOverlayLibrary sim;
    OverlayLibrary overlay{loader, trace, AppDir};
};

TEST_F(OverlayLibraryTest, LooksUpTheNineteenNamesInTableOrderFromTheLibraryFolder) {
    install();
    EXPECT_EQ(overlay.LoadOverlayLibrary(), std::nullopt);
    EXPECT_TRUE(overlay.bound());
    EXPECT_EQ(libraries.loadRequests(), Strings{LibraryPath});
    EXPECT_EQ(debug.lines(), Strings{"TrelkPro: Loading NexaCommmsDLL"});
    EXPECT_EQ(loader.names,
              (Strings{"NexaCSetShowTimeString", "NexaCGetShowTimeString", "NexaCGetStatus",
                       "NexaCSetNewBitmap", "NexaCSetConsolePosition", "NexaCSetColorValue",
                       "NexaCShowConsole", "NexaCSetTrelkVersion", "NexaCGetNexaCommsVersion",
                       "NexaCGetNexaVersion", "NexaCSetPopupSpeed", "NexaCSetScanMode",
                       "NexaCSetAntiAliasingFailsafeMode", "NexaCSetHeadlightMode",
                       "NexaCGetOnStationMode", "NexaCSetConsoleMode", "NexaCGetConsoleMode",
                       "NexaCChannelF5Active", "NexaCSetDebugMode"}));
    // Binding calls nothing.
    EXPECT_TRUE(sim.calls().empty());
}

TEST_F(OverlayLibraryTest, AMissingLibraryFailsAndLeavesEveryWrapperInert) {
    EXPECT_EQ(overlay.LoadOverlayLibrary(), std::optional<std::string>("Can not load DLL"));
    EXPECT_FALSE(overlay.bound());
    EXPECT_FALSE(overlay.loadError().empty());
    debug.clear();

    overlay.NexaCShowConsole(true);
    EXPECT_FALSE(overlay.NexaCGetOnStationMode());
    overlay.NexaCSetDebugMode(true);
    EXPECT_TRUE(debug.lines().empty());
    EXPECT_TRUE(sim.calls().empty());
}

TEST_F(OverlayLibraryTest, EachMissingExportFailsWithItsKindAndNameAndHoldsNothing) {
    const Strings functions = {"NexaCGetStatus",          "NexaCSetNewBitmap",
                               "NexaCSetConsolePosition", "NexaCSetColorValue",
                               "NexaCShowConsole",        "NexaCGetNexaCommsVersion",
                               "NexaCGetNexaVersion"};
    for (const auto& entry : OverlayLibrary::Exports()) {
        const std::string name = entry.name;
        auto exports = SimOverlayLibrary::Exports();
        ASSERT_EQ(exports.erase(name), 1u);
        install(exports);
        const bool isFunction =
            std::find(functions.begin(), functions.end(), name) != functions.end();
        const std::string expected = (isFunction ? "Cannot find the required DLL function "
                                                 : "Cannot find the required DLL procedure ") +
                                     name;
        EXPECT_EQ(overlay.LoadOverlayLibrary(), std::optional<std::string>(expected));
        EXPECT_FALSE(overlay.bound()) << name;
        EXPECT_EQ(libraries.openHandles(LibraryPath), 0) << name;
    }
    // Of several missing, the first in table order is named.
    auto exports = SimOverlayLibrary::Exports();
    exports.erase("NexaCSetDebugMode");
    exports.erase("NexaCGetStatus");
    install(exports);
    EXPECT_EQ(overlay.LoadOverlayLibrary(),
              std::optional<std::string>("Cannot find the required DLL function NexaCGetStatus"));
    EXPECT_EQ(overlay.LoadOverlayLibrary(),
              std::optional<std::string>("Cannot find the required DLL function NexaCGetStatus"));
    // Nothing of a failed binding is callable.
    overlay.NexaCShowConsole(true);
    EXPECT_TRUE(sim.calls().empty());
}

TEST_F(OverlayLibraryTest, EachWrapperTracesItsCallThenPassesItsArguments) {
    bind();
    overlay.NexaCSetShowTimeString(true);
    expectCall("NexaCSetShowTimeString", {1},
               {"TrelkPro: NexaCSetShowTimeString called with value true"});
    overlay.NexaCSetConsolePosition(2, 14);
    expectCall("NexaCSetConsolePosition", {2, 14}, {"TrelkPro: NexaCSetConsolePosition called"});
    overlay.NexaCSetColorValue(170);
    expectCall("NexaCSetColorValue", {170, 255, 255, 255}, {"TrelkPro: NexaCSetColorValue called"});
    overlay.NexaCShowConsole(false);
    expectCall("NexaCShowConsole", {0}, {"TrelkPro: NexaCShowConsole called with value: false"});
    overlay.NexaCSetTrelkVersion("1.00 Build 1");
    expectCall("NexaCSetTrelkVersion", {},
               {"TrelkPro: NexaCSetTrelkVersion called with value: 1.00 Build 1"});
    EXPECT_EQ(sim.version(), "1.00 Build 1");
    overlay.NexaCSetPopupSpeed(12);
    expectCall("NexaCSetPopupSpeed", {12}, {"TrelkPro: NexaCSetPopupSpeed called with value 12"});
    overlay.NexaCSetScanMode(2);
    expectCall("NexaCSetScanMode", {2}, {"TrelkPro: NexaCSetScanMode called with value 2"});
    overlay.NexaCSetAntiAliasingFailsafeMode(true);
    expectCall("NexaCSetAntiAliasingFailsafeMode", {1},
               {"TrelkPro: NexaCSetAntiAliasingFailsafeMode called with value TRUE"});
    overlay.NexaCSetHeadlightMode(false);
    expectCall("NexaCSetHeadlightMode", {0},
               {"TrelkPro: NexaCSetHeadlightMode called with value false"});
    overlay.NexaCSetConsoleMode(1);
    expectCall("NexaCSetConsoleMode", {1}, {"TrelkPro: NexaCSetConsoleMode called with value 1"});
    overlay.NexaCChannelF5Active();
    expectCall("NexaCChannelF5Active", {}, {"TrelkPro: NexaCChannelF5Active called"});
    overlay.NexaCSetDebugMode(true);
    expectCall("NexaCSetDebugMode", {1}, {"TrelkPro: NexaCSetDebugMode called with value TRUE "});
}

TEST_F(OverlayLibraryTest, ByteArgumentsAreClampedAndTheTraceShowsWhatWasPassed) {
    bind();
    overlay.NexaCSetConsolePosition(300, -5);
    expectCall("NexaCSetConsolePosition", {255, 0}, {"TrelkPro: NexaCSetConsolePosition called"});
    overlay.NexaCSetPopupSpeed(1000);
    expectCall("NexaCSetPopupSpeed", {255}, {"TrelkPro: NexaCSetPopupSpeed called with value 255"});
    overlay.NexaCSetColorValue(-1, 256, 0, 255);
    expectCall("NexaCSetColorValue", {0, 255, 0, 255}, {"TrelkPro: NexaCSetColorValue called"});
}

TEST_F(OverlayLibraryTest, ACallSiteMayWordItsOwnTraceOrHaveTracedAlready) {
    bind();
    overlay.NexaCSetShowTimeString(true,
                                   "TrelkPro: NexaCSetShowTimeString called with value: True");
    expectCall("NexaCSetShowTimeString", {1},
               {"TrelkPro: NexaCSetShowTimeString called with value: True"});
    overlay.NexaCSetDebugMode(false, TraceAs::Silent());
    expectCall("NexaCSetDebugMode", {0}, {});
    // Tracing off: the call is still made.
    trace.setEnabled(false);
    overlay.NexaCShowConsole(true);
    expectCall("NexaCShowConsole", {1}, {});
}

TEST_F(OverlayLibraryTest, TheDockedAnswerIsOneOnlyAndItsTraceCarriesIt) {
    bind();
    sim.setDocked(1);
    EXPECT_TRUE(overlay.NexaCGetOnStationMode());
    expectCall("NexaCGetOnStationMode", {1},
               {"TrelkPro: NexaCGetOnStationMode return value = true"});
    sim.setDocked(2);
    EXPECT_FALSE(overlay.NexaCGetOnStationMode());
    expectCall("NexaCGetOnStationMode", {2},
               {"TrelkPro: NexaCGetOnStationMode return value = false"});
}

TEST_F(OverlayLibraryTest, APictureIsHandedWithItsLayoutAndCopiedByTheLibrary) {
    bind();
    // 3 x 2 pixels in rows of 4, the fourth pixel of each row padding.
    std::vector<std::uint32_t> pixels = {0x010101, 0xFF0000, 0x00FF00, 0xDEAD,
                                         0x0000FF, 0xFFFFFF, 0x123456, 0xBEEF};
    const NexacommsBitmap bitmap{3, 2, 16, pixels.data()};
    overlay.NexaCSetNewBitmap(bitmap);
    expectCall("NexaCSetNewBitmap", {3, 2}, {"TrelkPro: NexaCSetNewBitmap called"});
    pixels.assign(pixels.size(), 0);
    EXPECT_EQ(sim.picture().pixels, (std::vector<std::uint32_t>{0x010101, 0xFF0000, 0x00FF00,
                                                                0x0000FF, 0xFFFFFF, 0x123456}));
}

TEST_F(OverlayLibraryTest, FreeingHidesReleasesTheBackgroundThenUnloads) {
    bind();
    Strings order;
    overlay.FreeOverlayLibrary([&] {
        order = sim.callNames();
        trace.Trace("background released");
    });
    EXPECT_EQ(order, Strings{"NexaCShowConsole"});
    EXPECT_EQ(sim.calls()[0].args, Args{0});
    EXPECT_EQ(debug.lines(), (Strings{"TrelkPro: NexaCShowConsole called with value: false",
                                      "background released", "TrelkPro: Freeing NexaComms Library",
                                      "TrelkPro: NexaComms Library is Free"}));
    EXPECT_FALSE(overlay.bound());
    EXPECT_EQ(libraries.openHandles(LibraryPath), 0);

    // A second shutdown, or one after a failed start, has nothing to hide or free.
    debug.clear();
    sim.clearCalls();
    overlay.FreeOverlayLibrary();
    EXPECT_TRUE(sim.calls().empty());
    EXPECT_EQ(debug.lines(), Strings{"TrelkPro: Freeing NexaComms Library"});
}

} // namespace
} // namespace trelk
