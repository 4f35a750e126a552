// The exports of TrkHook.so. The library is loaded into the program with dlopen; all it
// keeps is the one session between HookOn and HookOff.

#include "HookSession.h"
#include "plugins/trkhook/TrkHookAbi.h"

#include <memory>
#include <mutex>

namespace {

std::mutex g_mutex;
std::unique_ptr<trkhook::HookSession> g_session;

void StopSession() {
    const std::lock_guard lock(g_mutex);
    g_session.reset(); // joins the recording thread
}

// Unloading the library without HookOff must not leave a thread running its code.
__attribute__((destructor)) void StopOnUnload() {
    StopSession();
}

} // namespace

extern "C" {

__attribute__((visibility("default"))) void HookOn(void) {
    const std::lock_guard lock(g_mutex);
    if (g_session) {
        return; // already on
    }
    auto session = std::make_unique<trkhook::HookSession>();
    if (session->start()) {
        g_session = std::move(session);
    }
}

__attribute__((visibility("default"))) void HookOff(void) {
    StopSession();
}

} // extern "C"

static_assert(sizeof(TRKHOOK_EXPORT_ON) > 1 && sizeof(TRKHOOK_EXPORT_OFF) > 1);
