#include "OverlayLibrary.h"

#include <algorithm>

namespace trelk {

namespace {

std::int32_t Byte(int value) {
    return std::clamp(value, 0, 255);
}

std::int32_t Flag(bool on) {
    return on ? 1 : 0;
}

const char* LowerBool(bool on) {
    return on ? "true" : "false";
}

const char* UpperBool(bool on) {
    return on ? "TRUE" : "FALSE";
}

template <typename Function> Function As(void* address) {
    return reinterpret_cast<Function>(address);
}

} // namespace

void TraceAs::write(TraceOutput& trace, const std::string& usual) const {
    switch (mode_) {
    case Mode::Usual:
        trace.Trace(usual);
        break;
    case Mode::Own:
        trace.Trace(line_);
        break;
    case Mode::Silent:
        break;
    }
}

const std::array<OverlayLibrary::Export, OverlayLibrary::ExportCount>& OverlayLibrary::Exports() {
    static const std::array<Export, ExportCount> exports = {{
        {"NexaCSetShowTimeString", Kind::Procedure},
        {"NexaCGetShowTimeString", Kind::Procedure},
        {"NexaCGetStatus", Kind::Function},
        {"NexaCSetNewBitmap", Kind::Function},
        {"NexaCSetConsolePosition", Kind::Function},
        {"NexaCSetColorValue", Kind::Function},
        {"NexaCShowConsole", Kind::Function},
        {"NexaCSetTrelkVersion", Kind::Procedure},
        {"NexaCGetNexaCommsVersion", Kind::Function},
        {"NexaCGetNexaVersion", Kind::Function},
        {"NexaCSetPopupSpeed", Kind::Procedure},
        {"NexaCSetScanMode", Kind::Procedure},
        {"NexaCSetAntiAliasingFailsafeMode", Kind::Procedure},
        {"NexaCSetHeadlightMode", Kind::Procedure},
        {"NexaCGetOnStationMode", Kind::Procedure},
        {"NexaCSetConsoleMode", Kind::Procedure},
        {"NexaCGetConsoleMode", Kind::Procedure},
        {"NexaCChannelF5Active", Kind::Procedure},
        {"NexaCSetDebugMode", Kind::Procedure},
    }};
    return exports;
}

OverlayLibrary::OverlayLibrary(LibraryLoader& loader, TraceOutput& trace, std::string libraryDir)
    : loader_(loader), trace_(trace), libraryDir_(std::move(libraryDir)) {}

OverlayLibrary::~OverlayLibrary() {
    release();
}

std::optional<std::string> OverlayLibrary::LoadOverlayLibrary() {
    release();
    trace_.Trace("TrelkPro: Loading NexaCommmsDLL");
    library_ = loader_.load(libraryDir_ + NEXACOMMS_LIBRARY_NAME, loadError_);
    if (!library_) {
        trace_.Trace("TrelkPro: " + loadError_);
        return LoadFailed;
    }

    std::array<void*, ExportCount> address{};
    const auto& exports = Exports();
    for (std::size_t i = 0; i < exports.size(); ++i) {
        address[i] = library_->symbol(exports[i].name);
    }
    for (std::size_t i = 0; i < exports.size(); ++i) {
        if (address[i] == nullptr) {
            release();
            return std::string(exports[i].kind == Kind::Procedure ? ProcedureMissing
                                                                  : FunctionMissing) +
                   exports[i].name;
        }
    }

    fn_.setShowTimeString = As<NexaCSetShowTimeStringFunction>(address[0]);
    fn_.getShowTimeString = As<NexaCGetShowTimeStringFunction>(address[1]);
    fn_.getStatus = As<NexaCGetStatusFunction>(address[2]);
    fn_.setNewBitmap = As<NexaCSetNewBitmapFunction>(address[3]);
    fn_.setConsolePosition = As<NexaCSetConsolePositionFunction>(address[4]);
    fn_.setColorValue = As<NexaCSetColorValueFunction>(address[5]);
    fn_.showConsole = As<NexaCShowConsoleFunction>(address[6]);
    fn_.setTrelkVersion = As<NexaCSetTrelkVersionFunction>(address[7]);
    fn_.getNexaCommsVersion = As<NexaCGetNexaCommsVersionFunction>(address[8]);
    fn_.getNexaVersion = As<NexaCGetNexaVersionFunction>(address[9]);
    fn_.setPopupSpeed = As<NexaCSetPopupSpeedFunction>(address[10]);
    fn_.setScanMode = As<NexaCSetScanModeFunction>(address[11]);
    fn_.setAntiAliasingFailsafeMode = As<NexaCSetAntiAliasingFailsafeModeFunction>(address[12]);
    fn_.setHeadlightMode = As<NexaCSetHeadlightModeFunction>(address[13]);
    fn_.getOnStationMode = As<NexaCGetOnStationModeFunction>(address[14]);
    fn_.setConsoleMode = As<NexaCSetConsoleModeFunction>(address[15]);
    fn_.getConsoleMode = As<NexaCGetConsoleModeFunction>(address[16]);
    fn_.channelF5Active = As<NexaCChannelF5ActiveFunction>(address[17]);
    fn_.setDebugMode = As<NexaCSetDebugModeFunction>(address[18]);
    return std::nullopt;
}

void OverlayLibrary::FreeOverlayLibrary(const std::function<void()>& releaseBackground) {
    NexaCShowConsole(false);
    if (releaseBackground) {
        releaseBackground();
    }
    trace_.Trace("TrelkPro: Freeing NexaComms Library");
    if (library_) {
        release();
        trace_.Trace("TrelkPro: NexaComms Library is Free");
    }
}

void OverlayLibrary::release() {
    fn_ = Bound{};
    library_.reset();
}

void OverlayLibrary::NexaCSetShowTimeString(bool show, const TraceAs& trace) {
    if (fn_.setShowTimeString != nullptr) {
        trace.write(trace_, std::string("TrelkPro: NexaCSetShowTimeString called with value ") +
                                LowerBool(show));
        fn_.setShowTimeString(Flag(show));
    }
}

void OverlayLibrary::NexaCSetNewBitmap(const NexacommsBitmap& bitmap, const TraceAs& trace) {
    if (fn_.setNewBitmap != nullptr) {
        trace.write(trace_, "TrelkPro: NexaCSetNewBitmap called");
        fn_.setNewBitmap(&bitmap);
    }
}

void OverlayLibrary::NexaCSetConsolePosition(int x, int y, const TraceAs& trace) {
    if (fn_.setConsolePosition != nullptr) {
        trace.write(trace_, "TrelkPro: NexaCSetConsolePosition called");
        fn_.setConsolePosition(Byte(x), Byte(y));
    }
}

void OverlayLibrary::NexaCSetColorValue(int opacity, int red, int green, int blue,
                                        const TraceAs& trace) {
    if (fn_.setColorValue != nullptr) {
        trace.write(trace_, "TrelkPro: NexaCSetColorValue called");
        fn_.setColorValue(Byte(opacity), Byte(red), Byte(green), Byte(blue));
    }
}

void OverlayLibrary::NexaCShowConsole(bool show, const TraceAs& trace) {
    if (fn_.showConsole != nullptr) {
        trace.write(trace_, std::string("TrelkPro: NexaCShowConsole called with value: ") +
                                LowerBool(show));
        fn_.showConsole(Flag(show));
    }
}

void OverlayLibrary::NexaCSetTrelkVersion(const std::string& text, const TraceAs& trace) {
    if (fn_.setTrelkVersion != nullptr) {
        trace.write(trace_, "TrelkPro: NexaCSetTrelkVersion called with value: " + text);
        fn_.setTrelkVersion(text.c_str());
    }
}

void OverlayLibrary::NexaCSetPopupSpeed(int speed, const TraceAs& trace) {
    if (fn_.setPopupSpeed != nullptr) {
        const std::int32_t value = Byte(speed);
        trace.write(trace_,
                    "TrelkPro: NexaCSetPopupSpeed called with value " + std::to_string(value));
        fn_.setPopupSpeed(value);
    }
}

void OverlayLibrary::NexaCSetScanMode(int indicator, const TraceAs& trace) {
    if (fn_.setScanMode != nullptr) {
        const std::int32_t value = Byte(indicator);
        trace.write(trace_,
                    "TrelkPro: NexaCSetScanMode called with value " + std::to_string(value));
        fn_.setScanMode(value);
    }
}

void OverlayLibrary::NexaCSetAntiAliasingFailsafeMode(bool on, const TraceAs& trace) {
    if (fn_.setAntiAliasingFailsafeMode != nullptr) {
        trace.write(trace_,
                    std::string("TrelkPro: NexaCSetAntiAliasingFailsafeMode called with value ") +
                        UpperBool(on));
        fn_.setAntiAliasingFailsafeMode(Flag(on));
    }
}

void OverlayLibrary::NexaCSetHeadlightMode(bool on, const TraceAs& trace) {
    if (fn_.setHeadlightMode != nullptr) {
        trace.write(trace_, std::string("TrelkPro: NexaCSetHeadlightMode called with value ") +
                                LowerBool(on));
        fn_.setHeadlightMode(Flag(on));
    }
}

bool OverlayLibrary::NexaCGetOnStationMode(const TraceAs& trace) {
    if (fn_.getOnStationMode == nullptr) {
        return false;
    }
    // A library that leaves the byte alone answers "in flight".
    std::uint8_t answer = 0;
    fn_.getOnStationMode(&answer);
    const bool docked = answer == 1;
    trace.write(trace_,
                std::string("TrelkPro: NexaCGetOnStationMode return value = ") + LowerBool(docked));
    return docked;
}

void OverlayLibrary::NexaCSetConsoleMode(int mode, const TraceAs& trace) {
    if (fn_.setConsoleMode != nullptr) {
        const std::int32_t value = Byte(mode);
        trace.write(trace_,
                    "TrelkPro: NexaCSetConsoleMode called with value " + std::to_string(value));
        fn_.setConsoleMode(value);
    }
}

void OverlayLibrary::NexaCChannelF5Active(const TraceAs& trace) {
    if (fn_.channelF5Active != nullptr) {
        trace.write(trace_, "TrelkPro: NexaCChannelF5Active called");
        fn_.channelF5Active();
    }
}

void OverlayLibrary::NexaCSetDebugMode(bool on, const TraceAs& trace) {
    if (fn_.setDebugMode != nullptr) {
        trace.write(trace_, std::string("TrelkPro: NexaCSetDebugMode called with value ") +
                                UpperBool(on) + " ");
        fn_.setDebugMode(Flag(on));
    }
}

} // namespace trelk
