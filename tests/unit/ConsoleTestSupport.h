#pragma once

// The console page on a recording overlay, with the Qt font system it draws text with.

#include "console/ConsolePage.h"
#include "core/TraceOutput.h"
#include "platform/sim/SimDebugOutput.h"

#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace trelk::testing {

// Ends the application before the program ends, while Qt and the font library can still
// release what they hold.
class GuiApplicationEnvironment final : public ::testing::Environment {
public:
    void TearDown() override { app.reset(); }
    std::unique_ptr<QGuiApplication> app;
};

// Text needs a QGuiApplication; the offscreen platform gives one without a display. Made on
// first use, so the other unit tests run without one.
inline void EnsureGuiApplication() {
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "trelk_unit_tests";
    static char* argv[] = {name, nullptr};
    auto* environment = new GuiApplicationEnvironment; // owned by the test framework
    environment->app = std::make_unique<QGuiApplication>(argc, argv);
    ::testing::AddGlobalTestEnvironment(environment);
}

// Records every call as a line ("ShowConsole 1") and keeps the last picture.
class RecordingOverlay final : public ConsoleOverlaySink {
public:
    void SetConsoleMode(int mode) override { add("SetConsoleMode " + std::to_string(mode)); }
    void SetConsolePosition(std::uint8_t x, std::uint8_t y) override {
        add("SetConsolePosition " + std::to_string(x) + " " + std::to_string(y));
    }
    void SetColorValue(std::uint8_t opacity, std::uint8_t red, std::uint8_t green,
                       std::uint8_t blue) override {
        add("SetColorValue " + std::to_string(opacity) + " " + std::to_string(red) + " " +
            std::to_string(green) + " " + std::to_string(blue));
    }
    void SetNewBitmap(const QImage& picture) override {
        picture_ = picture;
        add("SetNewBitmap " + std::to_string(picture.width()) + "x" +
            std::to_string(picture.height()));
    }
    void ShowConsole(bool show) override { add(std::string("ShowConsole ") + (show ? "1" : "0")); }
    void SetPopupSpeed(std::uint8_t speed) override {
        add("SetPopupSpeed " + std::to_string(speed));
    }

    std::vector<std::string> calls;
    const QImage& picture() const { return picture_; }

private:
    void add(std::string call) { calls.push_back(std::move(call)); }
    QImage picture_;
};

// A page wired as the application wires it, with every hook recorded.
struct ConsoleRig {
    ConsoleRig() : page(overlay, trace, hooks()) { trace.setEnabled(true); }

    ConsolePage::Hooks hooks() {
        ConsolePage::Hooks h;
        h.appearance = [this] { return appearance; };
        h.setConsoleShownFlag = [this](bool shown) { shownFlags.push_back(shown); };
        h.docked = [this] { return docked; };
        h.inStationRefresh = [this] { ++stationRefreshes; };
        h.rendered = [this](const QImage&) { ++renders; };
        return h;
    }

    bool guiReady = (EnsureGuiApplication(), true);
    RecordingOverlay overlay;
    SimDebugOutput debug;
    TraceOutput trace{debug};
    ConsolePage::Appearance appearance;
    std::vector<bool> shownFlags;
    bool docked = false;
    int stationRefreshes = 0;
    int renders = 0;
    ConsolePage page;
};

} // namespace trelk::testing
