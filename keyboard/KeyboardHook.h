#pragma once

#include "core/TraceOutput.h"
#include "platform/ports/DynamicLibrary.h"
#include "platform/ports/SharedMemory.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace trelk {

// The hook library and the block "TrkHookMMF" that tells it which window to notify. Start-up
// binds it (SetKeyBoardHook); shutdown takes it down in three separate steps, because other
// subsystems' steps come between them.
class KeyboardHook {
public:
    static constexpr const char* LoadFailed = "Can not load DLL";
    static constexpr const char* ExportsMissing = "Cannot find the required DLL functions";
    static constexpr const char* BlockFailed = "Error while create file";

    KeyboardHook(LibraryLoader& loader, SharedMemory& memory, TraceOutput& trace,
                 std::string appDir);
    // Silently takes down whatever is still up.
    ~KeyboardHook();
    KeyboardHook(const KeyboardHook&) = delete;
    KeyboardHook& operator=(const KeyboardHook&) = delete;

    // Loads the library, publishes the window handle and switches the hook on. On failure
    // returns the fixed message that ends start-up, and holds nothing.
    std::optional<std::string> SetKeyBoardHook(std::uint32_t windowHandle);

    // Shutdown, in this order with other steps between: HookOff when bound, free the library,
    // release the window block.
    void HookOff();
    void FreeHookLibrary();
    void CloseHookMapping();

    bool libraryLoaded() const { return library_ != nullptr; }
    bool hookOn() const { return hookOn_; }
    bool mappingHeld() const { return windowBlock_ != nullptr; }
    // The loader's reason for the last failed load, for the log or a message.
    const std::string& loadError() const { return loadError_; }

private:
    void release();

    LibraryLoader& loader_;
    SharedMemory& memory_;
    TraceOutput& trace_;
    std::string appDir_;
    std::unique_ptr<LoadedLibrary> library_;
    void (*hookOnFunction_)() = nullptr;
    void (*hookOffFunction_)() = nullptr;
    bool hookOn_ = false;
    std::unique_ptr<SharedBlock> windowBlock_;
    std::string loadError_;
};

} // namespace trelk
