#pragma once

#include "SimLibraryLoader.h"
#include "plugins/nexacomms/NexacommsAbi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trelk {

// The fake overlay library. Its nineteen exports are plain C functions, as the program calls
// them through the loader's void*; they reach the state here through one static pointer, so
// only one overlay is live at a time: the latest constructed.
//
// Test side: Exports() for SimLibraryLoader::registerLibrary (erase a name to make a library
// that lacks it), calls() for every call in order, the state the calls left (picture,
// position, opacity, shown ...), and setDocked() for what NexaCGetOnStationMode answers.
class SimOverlayLibrary {
public:
    struct Call {
        std::string name;
        std::vector<std::int32_t> args; // a picture: width and height
        std::string text;               // NexaCSetTrelkVersion only
    };
    struct Picture {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        std::vector<std::uint32_t> pixels; // 0x00RRGGBB, row by row
        std::uint32_t pixel(std::uint32_t x, std::uint32_t y) const {
            return pixels.at(std::size_t{y} * width + x);
        }
    };

    SimOverlayLibrary();
    ~SimOverlayLibrary();
    SimOverlayLibrary(const SimOverlayLibrary&) = delete;
    SimOverlayLibrary& operator=(const SimOverlayLibrary&) = delete;

    static SimLibraryLoader::Exports Exports();

    void setDocked(std::uint8_t answer) { docked_ = answer; }

    const std::vector<Call>& calls() const { return calls_; }
    // The names of the calls, in order.
    std::vector<std::string> callNames() const;
    void clearCalls() { calls_.clear(); }

    const Picture& picture() const { return picture_; }
    int pictures() const { return pictures_; }
    bool shown() const { return shown_; }
    std::int32_t positionX() const { return positionX_; }
    std::int32_t positionY() const { return positionY_; }
    std::int32_t opacity() const { return opacity_; }
    std::int32_t popupSpeed() const { return popupSpeed_; }
    std::int32_t scanMode() const { return scanMode_; }
    std::int32_t consoleMode() const { return consoleMode_; }
    bool showTime() const { return showTime_; }
    bool antiAliasingFailsafe() const { return antiAliasingFailsafe_; }
    bool headlights() const { return headlights_; }
    bool debugMode() const { return debugMode_; }
    const std::string& version() const { return version_; }

private:
    static SimOverlayLibrary* active_;
    static void Record(const char* name, std::vector<std::int32_t> args, std::string text = {});

    static void SetShowTimeString(std::int32_t show);
    static std::int32_t GetShowTimeString();
    static std::int32_t GetStatus();
    static std::int32_t SetNewBitmap(const NexacommsBitmap* bitmap);
    static std::int32_t SetConsolePosition(std::int32_t x, std::int32_t y);
    static std::int32_t SetColorValue(std::int32_t opacity, std::int32_t red, std::int32_t green,
                                      std::int32_t blue);
    static std::int32_t ShowConsole(std::int32_t show);
    static void SetTrelkVersion(const char* text);
    static const char* GetNexaCommsVersion();
    static const char* GetNexaVersion();
    static void SetPopupSpeed(std::int32_t speed);
    static void SetScanMode(std::int32_t indicator);
    static void SetAntiAliasingFailsafeMode(std::int32_t on);
    static void SetHeadlightMode(std::int32_t on);
    static void GetOnStationMode(std::uint8_t* docked);
    static void SetConsoleMode(std::int32_t mode);
    static std::int32_t GetConsoleMode();
    static void ChannelF5Active();
    static void SetDebugMode(std::int32_t on);

    std::vector<Call> calls_;
    Picture picture_;
    int pictures_ = 0;
    bool shown_ = false;
    std::int32_t positionX_ = 0;
    std::int32_t positionY_ = 0;
    std::int32_t opacity_ = 255;
    std::int32_t popupSpeed_ = 0;
    std::int32_t scanMode_ = 0;
    std::int32_t consoleMode_ = 0;
    bool showTime_ = false;
    bool antiAliasingFailsafe_ = false;
    bool headlights_ = false;
    bool debugMode_ = false;
    std::string version_;
    std::uint8_t docked_ = 0;
};

} // namespace trelk
