// The exports of TrkHook.so. The library is loaded into the program with dlopen; all it
// keeps is the one session between HookOn and HookOff.

#include "HookSession.h"
#include "plugins/trkhook/TrkHookAbi.h"

#include <memory>
#include <mutex>

namespace {

std::mutex g_mutex;
// A plain pointer, not a smart one: a static smart pointer has a destructor of its own, which
// would run before StopOnUnload at exit and leave it a freed session to delete again.
trkhook::HookSession* g_session = nullptr;

void StopSession() {
    const std::lock_guard lock(g_mutex);
    delete g_session; // joins the recording thread
    g_session = nullptr;
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
        g_session = session.release();
    }
}

__attribute__((visibility("default"))) void HookOff(void) {
    StopSession();
}

} // extern "C"

static_assert(sizeof(TRKHOOK_EXPORT_ON) > 1 && sizeof(TRKHOOK_EXPORT_OFF) > 1);
