// Injecting a chat message as the program does (60 Backspaces, then 60 characters of mixed
// case and punctuation, Shift around shifted characters) with X11Keyboard into a focused
// window under an Xvfb of our own, with the us and de layouts. Every repetition checks that
// the window received exactly the keys sent; one wrong repetition fails the run. For
// comparison, xdotool (default delay) types the same keys.
//
// Then the same message into the stand-in game, through KeyStringSender as the program types
// it: clear the line, channel key, text, Enter. A repetition runs from the first key to its
// line in the game's transcript, which must read exactly "channel<TAB>text". SendToChannel
// pauses 100 ms after each of its two channel keys; the "keys" variant (Backspaces, text and
// Enter in one SendKeyString) shows the cost of the keys without those pauses.
//
// Last, the keyboard layouts pilots use, with and without Caps Lock: 2,000 characters of
// printable ASCII and the layout's own letters (AltGr levels, dead keys, the other group of
// "us,ru") in lines of 200, typed one after the other into the game; a repetition runs from
// the first key to the last line in the transcript, every line must arrive exactly, and
// chars_per_s is the sustained rate.

#include "macros/KeyStringSender.h"
#include "platform/linux/X11Keyboard.h"
#include "platform/sim/SimEventLoop.h"
#include "support/LinuxTestSupport.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <vector>

// Last: they bring Xlib's macros.
#include "support/VoidlineGameRig.h"
#include "support/X11KeyboardTestSupport.h"

namespace {

using namespace trelk;

const std::string Characters = "Hello Pilot, Sector 7-G: 42 ships! (Fuel 98%) Go/No? @Base!.";
const std::string Sent = std::string(60, '\b') + Characters;

// Median and maximum of the repetitions, beside the mean that the benchmark reports.
class Timings {
public:
    void add(std::chrono::steady_clock::duration elapsed) {
        samples_.push_back(std::chrono::duration<double, std::milli>(elapsed).count());
    }
    void report(benchmark::State& state) {
        if (samples_.empty()) {
            return;
        }
        std::sort(samples_.begin(), samples_.end());
        state.counters["median_ms"] = samples_[samples_.size() / 2];
        state.counters["max_ms"] = samples_.back();
    }

private:
    std::vector<double> samples_;
};

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

// The program's key sender, without a message loop to pump between the keys.
bool Type(X11Keyboard& keyboard, const std::string& text) {
    SimEventLoop loop;
    KeyStringSender sender(keyboard, loop, {});
    sender.SendKeyString(text);
    return keyboard.canInject();
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
    Timings timings;
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
        timings.add(t1 - t0);
    }
    timings.report(state);
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
    Timings timings;
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
        timings.add(t1 - t0);
    }
    timings.report(state);
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

#ifdef TRELK_VOIDLINE_SIM_BINARY

using x11test::LayoutCase;
using x11test::PilotLayout;
using x11test::VoidlineGameRig;

std::string ChannelKey(int channel) {
    return std::string(1, static_cast<char>(KeyStringSender::ChannelCode(channel)));
}

// Runs the repetitions: `prepare` (untimed) types what the Backspaces must clear and names the
// channel, `send` types one message, and the transcript must then hold exactly
// "channel<TAB>text". Wrong or missing lines are counted, and the first few
// are printed, so one run tells how many of the repetitions lost something.
template <typename Send>
void RunIntoGame(benchmark::State& state, VoidlineGameRig& game, Send send,
                 const std::function<int(int)>& prepare) {
    Timings timings;
    double wrong = 0;
    int repetition = 0;
    for (auto _ : state) {
        const int channel = prepare(repetition++);
        const auto t0 = std::chrono::steady_clock::now();
        const bool sent = send(channel);
        const auto line = game.nextLine(std::chrono::seconds(10));
        const auto t1 = std::chrono::steady_clock::now();
        if (!sent) {
            state.SkipWithError("the keys could not be sent");
            break;
        }
        const std::string expected = std::to_string(channel) + "\t" + Characters;
        if (line != expected) {
            if (wrong < 5) {
                std::cerr << "into the game, repetition " << repetition << ": "
                          << (line ? "\"" + *line + "\"" : std::string("no line")) << "\n";
            }
            ++wrong;
            game.skipToEnd();
        }
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        timings.add(t1 - t0);
    }
    timings.report(state);
    state.counters["wrong_repetitions"] = wrong;
}

const std::string Leftover = "junk";

// As the program sends a chat line: SendToChannel (clear, two channel keys with their pauses,
// text), then Enter. The channel changes with every repetition.
void BM_GameSendToChannel(benchmark::State& state, const std::string& layout) {
    VoidlineGameRig game(PilotLayout{layout, "", 0}, false);
    if (!game.error().empty()) {
        state.SkipWithError(game.error().c_str());
        return;
    }
    if (!game.keyboard.canInject()) {
        state.SkipWithError("no XTest");
        return;
    }
    RunIntoGame(
        state, game,
        [&](int channel) {
            game.sender.SendToChannel(Characters, true, channel);
            game.sender.SendKeyString("\r");
            return true;
        },
        [&](int repetition) {
            game.sender.SendKeyString(Leftover);
            return 1 + repetition % 5;
        });
}
BENCHMARK_CAPTURE(BM_GameSendToChannel, us, std::string("us"))
    ->UseManualTime()
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameSendToChannel, de, std::string("de"))
    ->UseManualTime()
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);

// The keys alone: one SendKeyString of 60 Backspaces, the text and Enter, on the channel
// selected once before the repetitions.
void BM_GameSendKeys(benchmark::State& state, const std::string& layout) {
    VoidlineGameRig game(PilotLayout{layout, "", 0}, false);
    if (!game.error().empty()) {
        state.SkipWithError(game.error().c_str());
        return;
    }
    if (!game.keyboard.canInject()) {
        state.SkipWithError("no XTest");
        return;
    }
    constexpr int Channel = 3;
    game.sender.SendKeyString(ChannelKey(Channel));
    const std::string keys = KeyStringSender::ClearLineString() + Characters + "\r";
    RunIntoGame(
        state, game,
        [&](int) {
            game.sender.SendKeyString(keys);
            return true;
        },
        [&](int) {
            game.sender.SendKeyString(Leftover);
            return Channel;
        });
}
BENCHMARK_CAPTURE(BM_GameSendKeys, us, std::string("us"))
    ->UseManualTime()
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameSendKeys, de, std::string("de"))
    ->UseManualTime()
    ->Iterations(1000)
    ->Unit(benchmark::kMillisecond);

// xdotool at its default pace into the game: Backspaces, channel key, text, Return.
void BM_GameXdotool(benchmark::State& state, const std::string& layout) {
    VoidlineGameRig game(PilotLayout{layout, "", 0}, false);
    if (!game.error().empty()) {
        state.SkipWithError(game.error().c_str());
        return;
    }
    std::vector<std::string> backspaces = {"xdotool", "key"};
    backspaces.insert(backspaces.end(), 60, "BackSpace");
    RunIntoGame(
        state, game,
        [&](int channel) {
            return x11test::RunProgram(backspaces) == 0 &&
                   x11test::RunProgram({"xdotool", "key", "F" + std::to_string(channel)}) == 0 &&
                   x11test::RunProgram({"xdotool", "type", "--", Characters}) == 0 &&
                   x11test::RunProgram({"xdotool", "key", "Return"}) == 0;
        },
        [&](int repetition) {
            x11test::RunProgram({"xdotool", "type", "--", Leftover});
            return 1 + repetition % 5;
        });
}
BENCHMARK_CAPTURE(BM_GameXdotool, us, std::string("us"))
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GameXdotool, de, std::string("de"))
    ->UseManualTime()
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

// The layouts pilots use: 2,000 characters in lines of 200, each line one TypeText ending
// with Enter, sent one after the other; then every line must be in the transcript as sent.
void BM_GameLayoutText(benchmark::State& state, const LayoutCase& each, bool capsLock) {
    VoidlineGameRig game(each.layout, capsLock);
    if (!game.error().empty()) {
        state.SkipWithError(game.error().c_str());
        return;
    }
    constexpr int Channel = 3;
    game.sender.SendKeyString(ChannelKey(Channel));
    const std::vector<std::string> lines = x11test::LayoutTextLines(each, 2000);
    std::size_t characters = 0;
    for (const std::string& line : lines) {
        characters += line.size();
    }
    const VoidlineGameRig::KeyboardState before = game.keyboardState();
    Timings timings;
    double wrong = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        for (const std::string& line : lines) {
            game.sender.TypeText(line + "\r");
        }
        std::size_t wrongLines = 0;
        for (const std::string& line : lines) {
            const auto received = game.nextLine(std::chrono::seconds(10));
            if (received != std::to_string(Channel) + "\t" + line) {
                ++wrongLines;
            }
        }
        const auto t1 = std::chrono::steady_clock::now();
        if (wrongLines != 0 || !game.reports.empty() || game.keyboardState() != before) {
            ++wrong;
            game.skipToEnd();
        }
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        seconds += std::chrono::duration<double>(t1 - t0).count();
        timings.add(t1 - t0);
    }
    timings.report(state);
    state.counters["wrong_repetitions"] = wrong;
    state.counters["chars_per_s"] =
        seconds > 0
            ? static_cast<double>(characters) * static_cast<double>(state.iterations()) / seconds
            : 0;
}

[[maybe_unused]] const bool LayoutBenchmarks = [] {
    for (const LayoutCase& each : x11test::PilotLayoutCases()) {
        for (const bool capsLock : {false, true}) {
            const std::string name =
                "BM_GameLayoutText/" + x11test::Identifier(each) + (capsLock ? "/capslock" : "");
            benchmark::RegisterBenchmark(name.c_str(), BM_GameLayoutText, each, capsLock)
                ->UseManualTime()
                ->Iterations(5)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

#endif

} // namespace
