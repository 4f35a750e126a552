// The window system the program runs on: always X11 (XWayland on a Wayland desktop), and a
// clear reason when no X display answers.

#include "platform/linux/X11WindowSystem.h"

#include "support/LinuxTestSupport.h"
#include "support/XvfbServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using linuxtest::ScopedEnv;
using ::testing::HasSubstr;

std::string PlatformAsked() {
    const char* value = std::getenv("QT_QPA_PLATFORM");
    return value != nullptr ? value : "";
}

TEST(X11WindowSystemTest, AWaylandSessionGetsTheXcbPlatformAndAnXDisplayIsRequired) {
    ScopedEnv wayland("WAYLAND_DISPLAY", std::string("wayland-0"));
    ScopedEnv asked("QT_QPA_PLATFORM", std::string("wayland"));
    {
        ScopedEnv noDisplay("DISPLAY", std::nullopt);
        EXPECT_THAT(UseX11WindowSystem(), HasSubstr("DISPLAY is not set"));
        EXPECT_EQ(PlatformAsked(), "xcb");
    }
    {
        ScopedEnv emptyDisplay("DISPLAY", std::string(""));
        EXPECT_THAT(UseX11WindowSystem(), HasSubstr("DISPLAY is not set"));
    }
    {
        ScopedEnv silent("DISPLAY", std::string(":99998"));
        EXPECT_THAT(UseX11WindowSystem(), HasSubstr("cannot open the X display \":99998\""));
    }
    linuxtest::XvfbServer server(350);
    ASSERT_FALSE(server.display().empty()) << "Xvfb could not be started";
    ScopedEnv display("DISPLAY", server.display());
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_EQ(UseX11WindowSystem(), "");
    EXPECT_EQ(PlatformAsked(), "xcb");
}

} // namespace
} // namespace trelk
