#include "SimOverlayLibrary.h"

#include <cstring>

namespace trelk {

SimOverlayLibrary* SimOverlayLibrary::active_ = nullptr;

SimOverlayLibrary::SimOverlayLibrary() {
    active_ = this;
}

SimOverlayLibrary::~SimOverlayLibrary() {
    if (active_ == this) {
        active_ = nullptr;
    }
}

SimLibraryLoader::Exports SimOverlayLibrary::Exports() {
    const auto address = [](auto function) { return reinterpret_cast<void*>(function); };
    return {
        {"NexaCSetShowTimeString", address(&SetShowTimeString)},
        {"NexaCGetShowTimeString", address(&GetShowTimeString)},
        {"NexaCGetStatus", address(&GetStatus)},
        {"NexaCSetNewBitmap", address(&SetNewBitmap)},
        {"NexaCSetConsolePosition", address(&SetConsolePosition)},
        {"NexaCSetColorValue", address(&SetColorValue)},
        {"NexaCShowConsole", address(&ShowConsole)},
        {"NexaCSetTrelkVersion", address(&SetTrelkVersion)},
        {"NexaCGetNexaCommsVersion", address(&GetNexaCommsVersion)},
        {"NexaCGetNexaVersion", address(&GetNexaVersion)},
        {"NexaCSetPopupSpeed", address(&SetPopupSpeed)},
        {"NexaCSetScanMode", address(&SetScanMode)},
        {"NexaCSetAntiAliasingFailsafeMode", address(&SetAntiAliasingFailsafeMode)},
        {"NexaCSetHeadlightMode", address(&SetHeadlightMode)},
        {"NexaCGetOnStationMode", address(&GetOnStationMode)},
        {"NexaCSetConsoleMode", address(&SetConsoleMode)},
        {"NexaCGetConsoleMode", address(&GetConsoleMode)},
        {"NexaCChannelF5Active", address(&ChannelF5Active)},
        {"NexaCSetDebugMode", address(&SetDebugMode)},
    };
}

std::vector<std::string> SimOverlayLibrary::callNames() const {
    std::vector<std::string> names;
    names.reserve(calls_.size());
    for (const Call& call : calls_) {
        names.push_back(call.name);
    }
    return names;
}

void SimOverlayLibrary::Record(const char* name, std::vector<std::int32_t> args, std::string text) {
    if (active_ != nullptr) {
        active_->calls_.push_back({name, std::move(args), std::move(text)});
    }
}

void SimOverlayLibrary::SetShowTimeString(std::int32_t show) {
    Record("NexaCSetShowTimeString", {show});
    if (active_ != nullptr) {
        active_->showTime_ = show != 0;
    }
}

std::int32_t SimOverlayLibrary::GetShowTimeString() {
    Record("NexaCGetShowTimeString", {});
    return active_ != nullptr && active_->showTime_ ? 1 : 0;
}

std::int32_t SimOverlayLibrary::GetStatus() {
    Record("NexaCGetStatus", {});
    return 1;
}

std::int32_t SimOverlayLibrary::SetNewBitmap(const NexacommsBitmap* bitmap) {
    if (bitmap == nullptr) {
        Record("NexaCSetNewBitmap", {});
        return 0;
    }
    Record("NexaCSetNewBitmap",
           {static_cast<std::int32_t>(bitmap->width), static_cast<std::int32_t>(bitmap->height)});
    if (active_ == nullptr || bitmap->pixels == nullptr) {
        return 0;
    }
    // Copied as the real library does: the program's picture changes after the call.
    Picture& picture = active_->picture_;
    picture.width = bitmap->width;
    picture.height = bitmap->height;
    picture.pixels.assign(std::size_t{bitmap->width} * bitmap->height, 0);
    const auto* rows = reinterpret_cast<const unsigned char*>(bitmap->pixels);
    for (std::uint32_t y = 0; y < bitmap->height; ++y) {
        std::memcpy(picture.pixels.data() + std::size_t{y} * bitmap->width,
                    rows + std::size_t{y} * bitmap->stride, std::size_t{bitmap->width} * 4);
    }
    for (std::uint32_t& pixel : picture.pixels) {
        pixel &= 0xFFFFFFu;
    }
    ++active_->pictures_;
    return 1;
}

std::int32_t SimOverlayLibrary::SetConsolePosition(std::int32_t x, std::int32_t y) {
    Record("NexaCSetConsolePosition", {x, y});
    if (active_ != nullptr) {
        active_->positionX_ = x;
        active_->positionY_ = y;
    }
    return 1;
}

std::int32_t SimOverlayLibrary::SetColorValue(std::int32_t opacity, std::int32_t red,
                                              std::int32_t green, std::int32_t blue) {
    Record("NexaCSetColorValue", {opacity, red, green, blue});
    if (active_ != nullptr) {
        active_->opacity_ = opacity;
    }
    return 1;
}

std::int32_t SimOverlayLibrary::ShowConsole(std::int32_t show) {
    Record("NexaCShowConsole", {show});
    if (active_ != nullptr) {
        active_->shown_ = show != 0;
    }
    return 1;
}

void SimOverlayLibrary::SetTrelkVersion(const char* text) {
    Record("NexaCSetTrelkVersion", {}, text != nullptr ? text : "");
    if (active_ != nullptr) {
        active_->version_ = text != nullptr ? text : "";
    }
}

const char* SimOverlayLibrary::GetNexaCommsVersion() {
    Record("NexaCGetNexaCommsVersion", {});
    return "sim";
}

const char* SimOverlayLibrary::GetNexaVersion() {
    Record("NexaCGetNexaVersion", {});
    return "sim";
}

void SimOverlayLibrary::SetPopupSpeed(std::int32_t speed) {
    Record("NexaCSetPopupSpeed", {speed});
    if (active_ != nullptr) {
        active_->popupSpeed_ = speed;
    }
}

void SimOverlayLibrary::SetScanMode(std::int32_t indicator) {
    Record("NexaCSetScanMode", {indicator});
    if (active_ != nullptr) {
        active_->scanMode_ = indicator;
    }
}

void SimOverlayLibrary::SetAntiAliasingFailsafeMode(std::int32_t on) {
    Record("NexaCSetAntiAliasingFailsafeMode", {on});
    if (active_ != nullptr) {
        active_->antiAliasingFailsafe_ = on != 0;
    }
}

void SimOverlayLibrary::SetHeadlightMode(std::int32_t on) {
    Record("NexaCSetHeadlightMode", {on});
    if (active_ != nullptr) {
        active_->headlights_ = on != 0;
    }
}

void SimOverlayLibrary::GetOnStationMode(std::uint8_t* docked) {
    const std::uint8_t answer = active_ != nullptr ? active_->docked_ : 0;
    Record("NexaCGetOnStationMode", {answer});
    if (docked != nullptr) {
        *docked = answer;
    }
}

void SimOverlayLibrary::SetConsoleMode(std::int32_t mode) {
    Record("NexaCSetConsoleMode", {mode});
    if (active_ != nullptr) {
        active_->consoleMode_ = mode;
    }
}

std::int32_t SimOverlayLibrary::GetConsoleMode() {
    Record("NexaCGetConsoleMode", {});
    return active_ != nullptr ? active_->consoleMode_ : 0;
}

void SimOverlayLibrary::ChannelF5Active() {
    Record("NexaCChannelF5Active", {});
}

void SimOverlayLibrary::SetDebugMode(std::int32_t on) {
    Record("NexaCSetDebugMode", {on});
    if (active_ != nullptr) {
        active_->debugMode_ = on != 0;
    }
}

} // namespace trelk
