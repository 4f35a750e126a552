#include "KeyboardHook.h"

#include "plugins/trkhook/TrkHookAbi.h"

#include <array>

namespace trelk {

KeyboardHook::KeyboardHook(LibraryLoader& loader, SharedMemory& memory, TraceOutput& trace,
                           std::string appDir)
    : loader_(loader), memory_(memory), trace_(trace), appDir_(std::move(appDir)) {}

KeyboardHook::~KeyboardHook() {
    if (hookOn_ && hookOffFunction_ != nullptr) {
        hookOffFunction_();
    }
    release();
    windowBlock_.reset();
}

std::optional<std::string> KeyboardHook::SetKeyBoardHook(std::uint32_t windowHandle) {
    trace_.Trace("TrelkPro: Loading " TRKHOOK_LIBRARY_NAME);
    library_ = loader_.load(appDir_ + TRKHOOK_LIBRARY_NAME, loadError_);
    if (!library_) {
        trace_.Trace("TrelkPro: " + loadError_);
        return LoadFailed;
    }

    trace_.Trace("TrelkPro: Assingning " TRKHOOK_LIBRARY_NAME " functions");
    void* on = library_->symbol(TRKHOOK_EXPORT_ON);
    void* off = library_->symbol(TRKHOOK_EXPORT_OFF);
    if (on == nullptr || off == nullptr) {
        release();
        return ExportsMissing;
    }
    hookOnFunction_ = reinterpret_cast<TrkHookOnFunction>(on);
    hookOffFunction_ = reinterpret_cast<TrkHookOffFunction>(off);

    trace_.Trace("TrelkPro: Creating TrkHook MMF");
    SharedBlockResult result =
        memory_.createOrOpen(TRKHOOK_WINDOW_BLOCK, TRKHOOK_WINDOW_BLOCK_SIZE);
    const std::array<std::uint8_t, TRKHOOK_WINDOW_BLOCK_SIZE> handle = {
        static_cast<std::uint8_t>(windowHandle), static_cast<std::uint8_t>(windowHandle >> 8),
        static_cast<std::uint8_t>(windowHandle >> 16),
        static_cast<std::uint8_t>(windowHandle >> 24)};
    if (!result.block || !result.block->write(0, handle.data(), handle.size())) {
        if (!result.error.empty()) {
            trace_.Trace("TrelkPro: " + result.error);
        }
        release();
        return BlockFailed;
    }
    windowBlock_ = std::move(result.block);

    trace_.Trace("TrelkPro: Calling TrkHook_HookOn function");
    hookOnFunction_();
    hookOn_ = true;
    return std::nullopt;
}

void KeyboardHook::HookOff() {
    if (hookOffFunction_ == nullptr) {
        return;
    }
    trace_.Trace("TrelkPro: Calling TrkHook_HookOff function");
    hookOffFunction_();
    hookOn_ = false;
}

void KeyboardHook::FreeHookLibrary() {
    if (!library_) {
        return;
    }
    // Unloading a library whose hook still runs would leave the system calling into nothing.
    if (hookOn_) {
        HookOff();
    }
    release();
    trace_.Trace("TrelkPro: TrkHook Library is Free");
}

void KeyboardHook::CloseHookMapping() {
    if (windowBlock_) {
        windowBlock_.reset();
        memory_.unlink(TRKHOOK_WINDOW_BLOCK);
    }
}

void KeyboardHook::release() {
    hookOnFunction_ = nullptr;
    hookOffFunction_ = nullptr;
    hookOn_ = false;
    library_.reset();
}

} // namespace trelk
