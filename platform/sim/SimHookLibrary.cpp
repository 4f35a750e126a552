#include "SimHookLibrary.h"

#include "plugins/trkhook/TrkHookAbi.h"

namespace trelk {

SimHookLibrary* SimHookLibrary::active_ = nullptr;

SimHookLibrary::SimHookLibrary(SimEventLoop& loop, SimSharedMemory& memory)
    : loop_(loop), memory_(memory) {
    active_ = this;
}

SimHookLibrary::~SimHookLibrary() {
    if (active_ == this) {
        active_ = nullptr;
    }
}

SimLibraryLoader::Exports SimHookLibrary::Exports() {
    TrkHookOnFunction on = &SimHookLibrary::HookOn;
    TrkHookOffFunction off = &SimHookLibrary::HookOff;
    return {{TRKHOOK_EXPORT_ON, reinterpret_cast<void*>(on)},
            {TRKHOOK_EXPORT_OFF, reinterpret_cast<void*>(off)}};
}

void SimHookLibrary::HookOn() {
    if (active_ != nullptr) {
        ++active_->hookOnCalls_;
        active_->on_ = true;
        ++active_->session_;
    }
}

void SimHookLibrary::HookOff() {
    if (active_ != nullptr) {
        ++active_->hookOffCalls_;
        active_->on_ = false;
        ++active_->session_;
    }
}

void SimHookLibrary::observe(int virtualKey, std::uint32_t flags) {
    if (!on_) {
        return;
    }
    // The handle is read at each event, as the real library does: the program may rewrite it.
    const auto block = memory_.bytes(TRKHOOK_WINDOW_BLOCK);
    if (!block || block->size() != TRKHOOK_WINDOW_BLOCK_SIZE) {
        ++dropped_;
        return;
    }
    const std::uint32_t handle = static_cast<std::uint32_t>((*block)[0]) |
                                 static_cast<std::uint32_t>((*block)[1]) << 8 |
                                 static_cast<std::uint32_t>((*block)[2]) << 16 |
                                 static_cast<std::uint32_t>((*block)[3]) << 24;
    const auto key = static_cast<std::uint32_t>(virtualKey);
    const std::uint64_t session = session_;
    loop_.post([this, handle, key, flags, session] { deliver(handle, key, flags, session); });
}

void SimHookLibrary::deliver(std::uint32_t handle, std::uint32_t virtualKey, std::uint32_t flags,
                             std::uint64_t session) {
    const auto window = windows_.find(handle);
    if (session != session_ || window == windows_.end()) {
        ++dropped_;
        return;
    }
    ++delivered_;
    window->second->deliverHookMessage(virtualKey, flags);
}

} // namespace trelk
