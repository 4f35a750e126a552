// X server key event to the hook's message at the program's window, through the real
// TrkHook.so under an Xvfb of our own: t0 just before the XTest injection, t1 when the
// ClientMessage has been read by the receiver. Reports the median and the 90th percentile.

#include "platform/linux/LinuxLibraryLoader.h"
#include "platform/linux/LinuxSharedMemory.h"
#include "platform/linux/X11Keyboard.h"
#include "plugins/trkhook/TrkHookAbi.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

// Last: it brings Xlib's macros.
#include "support/X11KeyboardTestSupport.h"

namespace {

using namespace trelk;

std::string HookLibraryPath() {
    char exe[4096] = {};
    const ssize_t length = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string dir = length > 0 ? std::string(exe, static_cast<std::size_t>(length)) : ".";
    dir = dir.substr(0, dir.rfind('/'));
    return dir + "/../TrelkPro/" + TRKHOOK_LIBRARY_NAME;
}

void BM_HookLatency(benchmark::State& state) {
    x11test::XvfbServer server(260);
    if (server.display().empty()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    x11test::EnvOverride display("DISPLAY", server.display());
    x11test::EnvOverride suffix(TRKHOOK_BLOCK_SUFFIX_ENV,
                                ".hookbench" + std::to_string(::getpid()));
    x11test::TestClient client(server.display());
    const Window receiver = client.createWindow("receiver", false);
    const Window game = client.createWindow(TRKHOOK_GAME_WINDOW_TITLE, true);
    client.focus(game);

    LinuxSharedMemory memory;
    auto windowBlock = memory.createOrOpen(TRKHOOK_WINDOW_BLOCK, TRKHOOK_WINDOW_BLOCK_SIZE).block;
    auto keyRecord = memory.createOrOpen(TRKHOOK_KEY_RECORD_BLOCK, TRKHOOK_KEY_RECORD_SIZE).block;
    const auto id = static_cast<std::uint32_t>(receiver);
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8),
        static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 24)};
    LinuxLibraryLoader loader;
    std::string error;
    auto library = loader.load(HookLibraryPath(), error);
    if (windowBlock == nullptr || keyRecord == nullptr || !windowBlock->write(0, bytes, 4) ||
        library == nullptr) {
        state.SkipWithError(("setup failed: " + error).c_str());
        return;
    }
    auto hookOn = reinterpret_cast<TrkHookOnFunction>(library->symbol(TRKHOOK_EXPORT_ON));
    auto hookOff = reinterpret_cast<TrkHookOffFunction>(library->symbol(TRKHOOK_EXPORT_OFF));
    hookOn();

    X11Keyboard keyboard;
    const int scan = keyboard.scanCodeForKey('A');
    const auto isHook = [&](const XEvent& e) { return client.isHookMessage(e); };
    std::vector<double> latencies;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        keyboard.injectKey('A', scan, false);
        const auto pressed = client.nextEvent(isHook);
        const auto t1 = std::chrono::steady_clock::now();
        keyboard.injectKey('A', scan, true);
        const auto released = client.nextEvent(isHook);
        if (!pressed || !released) {
            state.SkipWithError("a hook message did not arrive");
            break;
        }
        const double seconds = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(seconds);
        latencies.push_back(seconds * 1e6);
    }
    hookOff();
    memory.unlink(TRKHOOK_WINDOW_BLOCK);
    memory.unlink(TRKHOOK_KEY_RECORD_BLOCK);
    if (!latencies.empty()) {
        std::sort(latencies.begin(), latencies.end());
        state.counters["median_us"] = latencies[latencies.size() / 2];
        state.counters["p90_us"] = latencies[latencies.size() * 9 / 10];
        state.counters["max_us"] = latencies.back();
    }
}
BENCHMARK(BM_HookLatency)->UseManualTime()->Iterations(1000)->Unit(benchmark::kMicrosecond);

} // namespace
