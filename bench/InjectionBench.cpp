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

#include "macros/KeyStringSender.h"
#include "platform/linux/QtEventLoop.h"
#include "platform/linux/X11Keyboard.h"
#include "platform/ports/VirtualKeys.h"
#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <sys/stat.h>
#include <vector>

// Last: it brings Xlib's macros.
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
            keyboard.injectKey(Vk::Shift, 42, false);
        }
        keyboard.injectKey(vk, scan, false);
        keyboard.injectKey(vk, scan, true);
        if (shift) {
            keyboard.injectKey(Vk::Shift, 42, true);
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

// What a shell command printed on standard output.
std::string Capture(const std::string& command) {
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) {
            output.append(buffer, read);
        }
        ::pclose(pipe);
    }
    return output;
}

// The stand-in game with its transcript, under an Xvfb of its own with the given layout, once
// it has the keyboard focus. Lines are read from the transcript as they appear.
class Game {
public:
    explicit Game(const std::string& layout)
        : server_(290), display_("DISPLAY", server_.display()), platform_("QT_QPA_PLATFORM", "xcb"),
          transcript_(folder_.file("transcript.txt")) {
        if (server_.display().empty()) {
            error_ = "Xvfb did not start";
            return;
        }
        // The layout first: the game reads the keymap when it starts.
        if (x11test::RunProgram({"setxkbmap", "-display", server_.display(), "-layout", layout}) !=
            0) {
            error_ = "setxkbmap -layout " + layout + " failed";
            return;
        }
        const std::string log = folder_.file("game.log");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::vector<std::string> args = {TRELK_VOIDLINE_SIM_BINARY, "--transcript", transcript_};
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        const int spawned = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = -1;
            error_ = "cannot start " + args[0];
            return;
        }
        // The game takes the keyboard itself when its window comes up.
        if (!x11test::PollUntil(
                [] {
                    return Capture("xdotool getwindowfocus getwindowname 2>/dev/null") ==
                           "Voidline\n";
                },
                std::chrono::seconds(20))) {
            error_ = "the game did not take the focus: " + linuxtest::ReadFile(log);
        }
    }
    ~Game() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Empty when the game is up and focused.
    const std::string& error() const { return error_; }

    // The next line of the transcript without its newline; nullopt when none was complete
    // within the limit.
    std::optional<std::string> nextLine(std::chrono::milliseconds limit) {
        std::optional<std::string> line;
        x11test::PollUntil(
            [&] {
                struct stat status {};
                if (::stat(transcript_.c_str(), &status) != 0 ||
                    static_cast<std::size_t>(status.st_size) <= read_) {
                    return false;
                }
                const std::string content = linuxtest::ReadFile(transcript_);
                const std::size_t end = content.find('\n', read_);
                if (end == std::string::npos) {
                    return false;
                }
                line = content.substr(read_, end - read_);
                read_ = end + 1;
                return true;
            },
            limit);
        return line;
    }

    // Forgets whatever the transcript holds so far, after a wrong repetition.
    void skipToEnd() { read_ = linuxtest::ReadFile(transcript_).size(); }

private:
    testing::TempFolder folder_;
    x11test::XvfbServer server_;
    x11test::EnvOverride display_;
    x11test::EnvOverride platform_;
    std::string transcript_;
    pid_t pid_ = -1;
    std::size_t read_ = 0;
    std::string error_;
};

std::string ChannelKey(int channel) {
    return std::string(1, static_cast<char>(KeyStringSender::ChannelCode(channel)));
}

// Runs the repetitions: `prepare` (untimed) types what the Backspaces must clear and names the
// channel, `send` types one message, and the transcript must then hold exactly
// "channel<TAB>text". Wrong or missing lines are counted, and the first few
// are printed, so one run tells how many of the repetitions lost something.
template <typename Send>
void RunIntoGame(benchmark::State& state, Game& game, Send send,
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

// The program's own injection: X11Keyboard under KeyStringSender, Qt's loop between keys.
struct Injector {
    Injector() : application(linuxtest::TestApplication()), sender(keyboard, loop, {}) {}
    QCoreApplication& application;
    X11Keyboard keyboard;
    QtEventLoop loop;
    KeyStringSender sender;
};

const std::string Leftover = "junk";

// As the program sends a chat line: SendToChannel (clear, two channel keys with their pauses,
// text), then Enter. The channel changes with every repetition.
void BM_GameSendToChannel(benchmark::State& state, const std::string& layout) {
    Game game(layout);
    if (!game.error().empty()) {
        state.SkipWithError(game.error().c_str());
        return;
    }
    Injector injector;
    if (!injector.keyboard.canInject()) {
        state.SkipWithError("no XTest");
        return;
    }
    RunIntoGame(
        state, game,
        [&](int channel) {
            injector.sender.SendToChannel(Characters, true, channel);
            injector.sender.SendKeyString("\r");
            return true;
        },
        [&](int repetition) {
            injector.sender.SendKeyString(Leftover);
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
    Game game(layout);
    if (!game.error().empty()) {
        state.SkipWithError(game.error().c_str());
        return;
    }
    Injector injector;
    if (!injector.keyboard.canInject()) {
        state.SkipWithError("no XTest");
        return;
    }
    constexpr int Channel = 3;
    injector.sender.SendKeyString(ChannelKey(Channel));
    const std::string keys = KeyStringSender::ClearLineString() + Characters + "\r";
    RunIntoGame(
        state, game,
        [&](int) {
            injector.sender.SendKeyString(keys);
            return true;
        },
        [&](int) {
            injector.sender.SendKeyString(Leftover);
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
    Game game(layout);
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

#endif

} // namespace
