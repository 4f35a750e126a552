// The exports of nexacomms.so: each records its call, stores what it was given and leaves the
// X work to the console window's thread.

#include "CallRecord.h"
#include "OverlayWindow.h"
#include "platform/linux/StageStamps.h"
#include "plugins/nexacomms/NexacommsAbi.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>

#define NEXACOMMS_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using nexacomms::Picture;
using nexacomms::RecordCall;

// Destroyed when the library is unloaded: its thread ends and its window goes with it.
nexacomms::OverlayWindow& Window() {
    static nexacomms::OverlayWindow window;
    return window;
}

std::atomic<int> g_showTime{0};
std::atomic<int> g_consoleMode{0};

int32_t Byte(int32_t value) {
    return std::clamp(value, 0, 255);
}

int32_t Flag(int32_t value) {
    return value != 0 ? 1 : 0;
}

std::string Line(const char* name, std::initializer_list<int32_t> args) {
    std::string line(name);
    for (const int32_t arg : args) {
        line += ' ' + std::to_string(arg);
    }
    return line;
}

} // namespace

NEXACOMMS_EXPORT void NexaCSetShowTimeString(int32_t show) {
    RecordCall(Line("NexaCSetShowTimeString", {Flag(show)}));
    g_showTime = Flag(show);
}

NEXACOMMS_EXPORT int32_t NexaCGetShowTimeString(void) {
    RecordCall("NexaCGetShowTimeString");
    return g_showTime;
}

NEXACOMMS_EXPORT int32_t NexaCGetStatus(void) {
    RecordCall("NexaCGetStatus");
    return 1;
}

NEXACOMMS_EXPORT int32_t NexaCSetNewBitmap(const NexacommsBitmap* bitmap) {
    trelk::StageStamp("handed");
    if (bitmap == nullptr || bitmap->pixels == nullptr || bitmap->width == 0 ||
        bitmap->height == 0 || bitmap->width > NEXACOMMS_MAX_PICTURE_SIDE ||
        bitmap->height > NEXACOMMS_MAX_PICTURE_SIDE || bitmap->stride < bitmap->width * 4u) {
        RecordCall("NexaCSetNewBitmap 0 0");
        return 0;
    }
    // A copy: the program draws its next picture into the same memory.
    auto picture = std::make_shared<Picture>();
    picture->width = bitmap->width;
    picture->height = bitmap->height;
    picture->pixels.resize(std::size_t{bitmap->width} * bitmap->height);
    // One pass: each row copied without the high byte the program may leave in its pixels.
    const auto* rows = reinterpret_cast<const unsigned char*>(bitmap->pixels);
    std::uint32_t* target = picture->pixels.data();
    for (std::uint32_t y = 0; y < bitmap->height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(rows + std::size_t{y} * bitmap->stride);
        for (std::uint32_t x = 0; x < bitmap->width; ++x) {
            *target++ = row[x] & 0xFFFFFFu;
        }
    }
    RecordCall(Line("NexaCSetNewBitmap",
                    {static_cast<int32_t>(picture->width), static_cast<int32_t>(picture->height)}),
               picture.get());
    Window().setPicture(std::move(picture));
    return 1;
}

NEXACOMMS_EXPORT int32_t NexaCSetConsolePosition(int32_t x, int32_t y) {
    RecordCall(Line("NexaCSetConsolePosition", {Byte(x), Byte(y)}));
    Window().setPosition(Byte(x), Byte(y));
    return 1;
}

NEXACOMMS_EXPORT int32_t NexaCSetColorValue(int32_t opacity, int32_t red, int32_t green,
                                            int32_t blue) {
    RecordCall(Line("NexaCSetColorValue", {Byte(opacity), Byte(red), Byte(green), Byte(blue)}));
    Window().setOpacity(Byte(opacity));
    return 1;
}

NEXACOMMS_EXPORT int32_t NexaCShowConsole(int32_t show) {
    RecordCall(Line("NexaCShowConsole", {Flag(show)}));
    Window().setShown(show != 0);
    return 1;
}

NEXACOMMS_EXPORT void NexaCSetTrelkVersion(const char* text) {
    std::string line = "NexaCSetTrelkVersion";
    if (text != nullptr) {
        std::string value(text);
        std::replace_if(
            value.begin(), value.end(),
            [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }, '?');
        line += ' ' + value;
    }
    RecordCall(line);
}

NEXACOMMS_EXPORT const char* NexaCGetNexaCommsVersion(void) {
    RecordCall("NexaCGetNexaCommsVersion");
    return "1.0";
}

NEXACOMMS_EXPORT const char* NexaCGetNexaVersion(void) {
    RecordCall("NexaCGetNexaVersion");
    return "1.0";
}

NEXACOMMS_EXPORT void NexaCSetPopupSpeed(int32_t speed) {
    RecordCall(Line("NexaCSetPopupSpeed", {Byte(speed)}));
    Window().setSpeed(Byte(speed));
}

// The display modes below are kept by the game's own overlay; ours records them only.
NEXACOMMS_EXPORT void NexaCSetScanMode(int32_t indicator) {
    RecordCall(Line("NexaCSetScanMode", {Byte(indicator)}));
}

NEXACOMMS_EXPORT void NexaCSetAntiAliasingFailsafeMode(int32_t on) {
    RecordCall(Line("NexaCSetAntiAliasingFailsafeMode", {Flag(on)}));
}

NEXACOMMS_EXPORT void NexaCSetHeadlightMode(int32_t on) {
    RecordCall(Line("NexaCSetHeadlightMode", {Flag(on)}));
}

NEXACOMMS_EXPORT void NexaCGetOnStationMode(uint8_t* docked) {
    const std::uint8_t answer = Window().docked();
    if (docked != nullptr) {
        *docked = answer;
    }
    RecordCall(Line("NexaCGetOnStationMode", {answer}));
}

NEXACOMMS_EXPORT void NexaCSetConsoleMode(int32_t mode) {
    RecordCall(Line("NexaCSetConsoleMode", {Byte(mode)}));
    g_consoleMode = Byte(mode);
}

NEXACOMMS_EXPORT int32_t NexaCGetConsoleMode(void) {
    RecordCall("NexaCGetConsoleMode");
    return g_consoleMode;
}

NEXACOMMS_EXPORT void NexaCChannelF5Active(void) {
    RecordCall("NexaCChannelF5Active");
}

NEXACOMMS_EXPORT void NexaCSetDebugMode(int32_t on) {
    RecordCall(Line("NexaCSetDebugMode", {Flag(on)}));
    nexacomms::SetDebugLines(on != 0);
}
