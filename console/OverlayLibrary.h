#pragma once

#include "core/TraceOutput.h"
#include "platform/ports/DynamicLibrary.h"
#include "plugins/nexacomms/NexacommsAbi.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace trelk {

// How one call into the overlay library is traced: the function's usual line, the caller's
// own line where its place in the program words it differently, or not at all when the
// caller has traced the call itself.
class TraceAs {
public:
    TraceAs() = default;
    TraceAs(std::string line) : mode_(Mode::Own), line_(std::move(line)) {}
    TraceAs(const char* line) : TraceAs(std::string(line)) {}
    static TraceAs Silent() {
        TraceAs silent;
        silent.mode_ = Mode::Silent;
        return silent;
    }

    void write(TraceOutput& trace, const std::string& usual) const;

private:
    enum class Mode { Usual, Own, Silent };
    Mode mode_ = Mode::Usual;
    std::string line_;
};

// The overlay library: bound once at start-up, unloaded at shutdown. The wrappers are the only
// way the program calls it; each traces its call first and does nothing (no call, no line)
// while the library is not bound. Byte arguments are clamped to 0..255.
class OverlayLibrary {
public:
    enum class Kind { Procedure, Function };
    struct Export {
        const char* name;
        Kind kind;
    };
    static constexpr int ExportCount = 19;
    // The exports in the order they are looked up and checked.
    static const std::array<Export, ExportCount>& Exports();

    static constexpr const char* LoadFailed = "Can not load DLL";
    static constexpr const char* ProcedureMissing = "Cannot find the required DLL procedure ";
    static constexpr const char* FunctionMissing = "Cannot find the required DLL function ";

    OverlayLibrary(LibraryLoader& loader, TraceOutput& trace, std::string libraryDir);
    ~OverlayLibrary();
    OverlayLibrary(const OverlayLibrary&) = delete;
    OverlayLibrary& operator=(const OverlayLibrary&) = delete;

    // Loads libraryDir + "nexacomms.so" and binds the nineteen exports. On failure returns the
    // message that ends start-up, and holds nothing.
    std::optional<std::string> LoadOverlayLibrary();
    // Hides the console, runs releaseBackground (the console's background picture), then
    // unloads the library.
    void FreeOverlayLibrary(const std::function<void()>& releaseBackground = {});

    bool bound() const { return library_ != nullptr; }
    // The loader's reason for the last failed load.
    const std::string& loadError() const { return loadError_; }

    void NexaCSetShowTimeString(bool show, const TraceAs& trace = {});
    void NexaCSetNewBitmap(const NexacommsBitmap& bitmap, const TraceAs& trace = {});
    void NexaCSetConsolePosition(int x, int y, const TraceAs& trace = {});
    void NexaCSetColorValue(int opacity, int red = 255, int green = 255, int blue = 255,
                            const TraceAs& trace = {});
    void NexaCShowConsole(bool show, const TraceAs& trace = {});
    void NexaCSetTrelkVersion(const std::string& text, const TraceAs& trace = {});
    void NexaCSetPopupSpeed(int speed, const TraceAs& trace = {});
    void NexaCSetScanMode(int indicator, const TraceAs& trace = {});
    void NexaCSetAntiAliasingFailsafeMode(bool on, const TraceAs& trace = {});
    void NexaCSetHeadlightMode(bool on, const TraceAs& trace = {});
    // True when the library answers 1 (docked); false in flight and while not bound. Its usual
    // trace line follows the call, as it carries the answer.
    bool NexaCGetOnStationMode(const TraceAs& trace = {});
    void NexaCSetConsoleMode(int mode, const TraceAs& trace = {});
    void NexaCChannelF5Active(const TraceAs& trace = {});
    void NexaCSetDebugMode(bool on, const TraceAs& trace = {});

private:
    struct Bound {
        NexaCSetShowTimeStringFunction setShowTimeString = nullptr;
        NexaCGetShowTimeStringFunction getShowTimeString = nullptr;
        NexaCGetStatusFunction getStatus = nullptr;
        NexaCSetNewBitmapFunction setNewBitmap = nullptr;
        NexaCSetConsolePositionFunction setConsolePosition = nullptr;
        NexaCSetColorValueFunction setColorValue = nullptr;
        NexaCShowConsoleFunction showConsole = nullptr;
        NexaCSetTrelkVersionFunction setTrelkVersion = nullptr;
        NexaCGetNexaCommsVersionFunction getNexaCommsVersion = nullptr;
        NexaCGetNexaVersionFunction getNexaVersion = nullptr;
        NexaCSetPopupSpeedFunction setPopupSpeed = nullptr;
        NexaCSetScanModeFunction setScanMode = nullptr;
        NexaCSetAntiAliasingFailsafeModeFunction setAntiAliasingFailsafeMode = nullptr;
        NexaCSetHeadlightModeFunction setHeadlightMode = nullptr;
        NexaCGetOnStationModeFunction getOnStationMode = nullptr;
        NexaCSetConsoleModeFunction setConsoleMode = nullptr;
        NexaCGetConsoleModeFunction getConsoleMode = nullptr;
        NexaCChannelF5ActiveFunction channelF5Active = nullptr;
        NexaCSetDebugModeFunction setDebugMode = nullptr;
    };

    void release();

    LibraryLoader& loader_;
    TraceOutput& trace_;
    std::string libraryDir_;
    std::unique_ptr<LoadedLibrary> library_;
    Bound fn_;
    std::string loadError_;
};

} // namespace trelk
