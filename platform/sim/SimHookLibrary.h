#pragma once

#include "SimEventLoop.h"
#include "SimLibraryLoader.h"
#include "SimMainWindow.h"
#include "SimSharedMemory.h"

#include <cstdint>
#include <map>

namespace trelk {

// The fake hook library. Its exports HookOn and HookOff are plain C functions, as the program
// calls them through the loader's void*; they reach the state here through one static
// pointer, so only one hook (one SimPlatform) is live at a time: the latest constructed.
//
// While on, every key event the sim keyboard delivers to the focused game is posted to the
// event loop as the hook message for the window whose handle stands in "TrkHookMMF". Windows
// are found by handle among those registered (SimPlatform::registerWindow); a registered
// window must outlive the platform or be unregistered. A message still queued when HookOff
// runs is dropped: nothing arrives after HookOff returns.
class SimHookLibrary {
public:
    SimHookLibrary(SimEventLoop& loop, SimSharedMemory& memory);
    ~SimHookLibrary();
    SimHookLibrary(const SimHookLibrary&) = delete;
    SimHookLibrary& operator=(const SimHookLibrary&) = delete;

    // The exports of the library file, for SimLibraryLoader::registerLibrary.
    static SimLibraryLoader::Exports Exports();

    void registerWindow(SimMainWindow& window) { windows_[window.windowHandle()] = &window; }
    void unregisterWindow(const SimMainWindow& window) { windows_.erase(window.windowHandle()); }

    // Called by the sim keyboard for every key event that reaches the game's window.
    void observe(int virtualKey, std::uint32_t flags);

    bool isOn() const { return on_; }
    int hookOnCalls() const { return hookOnCalls_; }
    int hookOffCalls() const { return hookOffCalls_; }
    // Messages handed to a window, and messages dropped (no window behind the handle in the
    // block, no block, or the hook switched off before delivery).
    int delivered() const { return delivered_; }
    int dropped() const { return dropped_; }

private:
    static void HookOn();
    static void HookOff();
    static SimHookLibrary* active_;

    void deliver(std::uint32_t handle, std::uint32_t virtualKey, std::uint32_t flags,
                 std::uint64_t session);

    SimEventLoop& loop_;
    SimSharedMemory& memory_;
    std::map<std::uint32_t, SimMainWindow*> windows_;
    bool on_ = false;
    std::uint64_t session_ = 0; // changes at every HookOn and HookOff
    int hookOnCalls_ = 0;
    int hookOffCalls_ = 0;
    int delivered_ = 0;
    int dropped_ = 0;
};

} // namespace trelk
