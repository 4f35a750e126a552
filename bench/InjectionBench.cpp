// Injecting a chat message as the program does (60 Backspaces, then 60 characters of mixed
// case and punctuation, Shift around shifted characters) with X11Keyboard into a focused
// window under an Xvfb of our own, with the us and de layouts. Every repetition checks that
// the window received exactly the keys sent; one wrong repetition fails the run. For
// comparison, xdotool (default delay) types the same keys.

#include "platform/linux/X11Keyboard.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>

// Last: it brings Xlib's macros.
#include "integration/X11KeyboardTestSupport.h"

namespace {

using namespace trelk;

const std::string Characters = "Hello Pilot, Sector 7-G: 42 ships! (Fuel 98%) Go/No? @Base!.";
const std::string Sent = std::string(60, '\b') + Characters;

struct Bench {
    explicit Bench(const std::string& layout) : server(270), display("DISPLAY", server.display()) {
        if (server.display().empty() ||
            x11test::RunProgram({"setxkbmap", "-display", server.display(), "-layout", layout}) !=
                0) {
            return;
        }
        client = std::make_unique<x11test::TestClient>(server.display());
        window = client->createWindow("chat", true);
        client->focus(window);
        ready = true;
    }
    x11test::XvfbServer server;
    x11test::EnvOverride display;
    std::unique_ptr<x11test::TestClient> client;
    Window window = 0;
    bool ready = false;
};

bool Type(X11Keyboard& keyboard, const std::string& text) {
    for (const char c : text) {
        int vk = 8;
        bool shift = false;
        if (c != '\b') {
            const auto key = keyboard.keyForChar(static_cast<unsigned char>(c));
            if (!key) {
                return false;
            }
            vk = key->virtualKey;
            shift = key->shift;
        }
        const int scan = keyboard.scanCodeForKey(vk);
        if (shift) {
            keyboard.injectKey(0x10, 42, false);
        }
        keyboard.injectKey(vk, scan, false);
        keyboard.injectKey(vk, scan, true);
        if (shift) {
            keyboard.injectKey(0x10, 42, true);
        }
    }
    return true;
}

void BM_InjectChatMessage(benchmark::State& state, const std::string& layout) {
    Bench bench(layout);
    if (!bench.ready) {
        state.SkipWithError("Xvfb or setxkbmap failed");
        return;
    }
    if (Characters.size() != 60) {
        state.SkipWithError("the text must have 60 characters");
        return;
    }
    X11Keyboard keyboard;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool typed = Type(keyboard, Sent);
        const std::string received = bench.client->typedText(bench.window, Sent.size());
        const auto t1 = std::chrono::steady_clock::now();
        if (!typed || received != Sent) {
            state.SkipWithError(("received \"" + received + "\"").c_str());
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
}
BENCHMARK_CAPTURE(BM_InjectChatMessage, us, std::string("us"))
    ->UseManualTime()
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_InjectChatMessage, de, std::string("de"))
    ->UseManualTime()
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);

// xdotool at its default pace (12 ms between keys); wrong repetitions are counted, not fatal.
void BM_XdotoolChatMessage(benchmark::State& state, const std::string& layout) {
    Bench bench(layout);
    if (!bench.ready) {
        state.SkipWithError("Xvfb or setxkbmap failed");
        return;
    }
    std::vector<std::string> backspaces = {"xdotool", "key"};
    backspaces.insert(backspaces.end(), 60, "BackSpace");
    double wrong = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const bool ran = x11test::RunProgram(backspaces) == 0 &&
                         x11test::RunProgram({"xdotool", "type", "--", Characters}) == 0;
        const std::string received =
            bench.client->typedText(bench.window, Sent.size(), std::chrono::seconds(3));
        const auto t1 = std::chrono::steady_clock::now();
        if (!ran) {
            state.SkipWithError("xdotool failed");
            break;
        }
        if (received != Sent) {
            ++wrong;
            // Drain what is left, so the next repetition starts clean.
            bench.client->typedText(bench.window, 1000, std::chrono::milliseconds(300));
        }
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    state.counters["wrong_repetitions"] = wrong;
}
BENCHMARK_CAPTURE(BM_XdotoolChatMessage, us, std::string("us"))
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_XdotoolChatMessage, de, std::string("de"))
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace
