// Key press to console pixels, as the pilot feels it: an Xvfb of our own, the stand-in game
// focused, TrelkPro started from an application folder of our own, the console open on an
// entries page of 1,000 lines. Down and Up are pressed alternately through XTest; each press
// is timed from just before the XTest request until the console window's first damage
// (XDamage) reaches us, that is, until new pixels are in the window on the X server. A press
// without damage within a second is lost.
//
// In a build configured with -DTRELK_STAGE_STAMPS=ON the program and its libraries stamp each
// stage (platform/linux/StageStamps.h) and the split between the stages is printed too.
//
//   build/bin/bench_consolelatency [--presses N] [--layout normal|wide|both] [--app PROGRAM]
//
// --app starts another build of the program (its libraries are those beside it), for figures
// before and after a change.

#include "e2e/PilotDesk.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

// Xlib last: its macros (None, Bool, Status) break other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <X11/keysym.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int EntryCount = 1000;
// Far enough down that every press scrolls the list: all fifteen rows change.
constexpr int StartLine = 20;
constexpr auto DamageTimeout = 1s;

std::int64_t Nanoseconds(Clock::time_point time) {
    // steady_clock is CLOCK_MONOTONIC on Linux, the clock of the stage stamps.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

double Milliseconds(std::int64_t nanoseconds) {
    return static_cast<double>(nanoseconds) / 1e6;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// One group with one sub-group of EntryCount entries, lines as long as the console is wide.
std::string LongEntriesDatabase() {
    std::ostringstream out;
    out << "(Belt Long)\r\n[Deep Field]\r\n";
    unsigned seed = 29;
    const auto next = [&seed] {
        seed = seed * 1103515245U + 12345U;
        return (seed >> 8) % 100000U;
    };
    for (int entry = 0; entry < EntryCount; ++entry) {
        out << next() / 10 << '.' << next() % 10 << "  -" << next() / 10 << ".5\t" << next() / 100
            << ".2 Lumacite large, rich, entry " << entry << " of the long field\r\n";
    }
    return out.str();
}

// The stage stamps of one press, in nanoseconds of CLOCK_MONOTONIC.
struct Stamps {
    std::map<std::string, std::int64_t> first;
};

class StampFile {
public:
    explicit StampFile(std::string path) : path_(std::move(path)) {}
    bool exists() const { return std::ifstream(path_).good(); }
    // The first stamp of each stage written since the last call, at or after `from`.
    Stamps readNew(std::int64_t from) {
        Stamps stamps;
        std::ifstream in(path_);
        in.seekg(static_cast<std::streamoff>(offset_));
        std::string line;
        while (std::getline(in, line)) {
            if (in.eof()) {
                break; // a line still being written
            }
            offset_ += line.size() + 1;
            std::istringstream fields(line);
            std::string stage;
            std::int64_t time = 0;
            if (fields >> stage >> time && time >= from) {
                stamps.first.emplace(stage, time);
            }
        }
        return stamps;
    }

private:
    std::string path_;
    std::size_t offset_ = 0;
};

// The bench's own connection: keys through XTest, the console window's damage.
class Watcher {
public:
    explicit Watcher(const std::string& displayName) : display_(XOpenDisplay(displayName.c_str())) {
        int event = 0, error = 0, major = 0, minor = 0;
        if (display_ == nullptr || !XTestQueryExtension(display_, &event, &error, &major, &minor) ||
            !XDamageQueryExtension(display_, &damageEvent_, &error)) {
            return;
        }
        XDamageQueryVersion(display_, &major, &minor);
        ready_ = true;
    }
    ~Watcher() {
        if (display_ != nullptr) {
            if (damage_ != 0) {
                XDamageDestroy(display_, damage_);
            }
            XCloseDisplay(display_);
        }
    }
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    bool ready() const { return ready_; }

    // The library's console window once it is mapped, or 0.
    Window findConsole() {
        Window root = 0, parent = 0, found = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        XQueryTree(display_, XDefaultRootWindow(display_), &root, &parent, &children, &count);
        for (unsigned int i = 0; i < count && found == 0; ++i) {
            char* name = nullptr;
            XWindowAttributes attributes{};
            if (XFetchName(display_, children[i], &name) != 0 && name != nullptr) {
                if (std::strcmp(name, "NexaComms Console") == 0 &&
                    XGetWindowAttributes(display_, children[i], &attributes) != 0 &&
                    attributes.map_state == IsViewable) {
                    found = children[i];
                }
                XFree(name);
            }
        }
        if (children != nullptr) {
            XFree(children);
        }
        return found;
    }

    void watch(Window console) {
        damage_ = XDamageCreate(display_, console, XDamageReportRawRectangles);
        XSync(display_, False);
    }

    void key(KeySym symbol, bool down) {
        XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, symbol), down ? True : False,
                          CurrentTime);
        XFlush(display_);
    }
    void tap(KeySym symbol) {
        key(symbol, true);
        key(symbol, false);
    }

    // When the console window's next damage arrived, or nothing within the timeout.
    std::optional<Clock::time_point> nextDamage(Clock::duration timeout) {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == damageEvent_ + XDamageNotify) {
                    return Clock::now();
                }
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return std::nullopt;
            }
            pollfd connection{ConnectionNumber(display_), POLLIN, 0};
            ::poll(&connection, 1, static_cast<int>(left.count()) + 1);
        }
    }

    // Forgets damage that arrived since: the rest of one picture's rectangles.
    void drain() {
        XSync(display_, False);
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
        }
    }

private:
    Display* display_ = nullptr;
    int damageEvent_ = 0;
    Damage damage_ = 0;
    bool ready_ = false;
};

// The stages, in the order a key passes them, named by the stamp that ends each.
struct Stage {
    const char* stamp;
    const char* caption;
};
constexpr Stage Stages[] = {
    {"hook", "XTest request to hook message sent"}, {"received", "hook message to main thread"},
    {"handed", "main thread to picture handed"},    {"sent", "picture handed to X requests sent"},
    {"damage", "X requests sent to damage seen"},
};

struct Result {
    std::vector<double> totals; // milliseconds, of the presses not lost
    int lost = 0;
    std::map<std::string, std::vector<double>> stages; // milliseconds, by ending stamp
    bool stamped = false;
    std::string error;
};

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto rank =
        static_cast<std::size_t>(share * static_cast<double>(values.size()) + 0.999999);
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

// The program's and the game's trace lines go to /dev/null while they run, as for a program
// started from the desktop, instead of between the figures.
class QuietChildren {
public:
    QuietChildren() : saved_(::dup(2)) {
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            ::dup2(null, 2);
            ::close(null);
        }
    }
    ~QuietChildren() {
        if (saved_ >= 0) {
            ::dup2(saved_, 2);
            ::close(saved_);
        }
    }
    QuietChildren(const QuietChildren&) = delete;
    QuietChildren& operator=(const QuietChildren&) = delete;

private:
    int saved_;
};

Result Measure(const std::string& program, bool wide, int presses) {
    Result result;
    const QuietChildren quiet;
    trelk::testing::TempFolder folder;
    std::filesystem::create_directories(folder.path() / "Data");
    folder.write("Data/MyLumacor.dat", LongEntriesDatabase());
    folder.write("trelkpro.ini", std::string("[Setup]\nLogEnabled=0\n[Console]\nWideConsole=") +
                                     (wide ? "1" : "0") + "\n");
    const std::string stampPath = folder.file("stamps.txt");
    trelk::e2e::PilotDesk desk(folder, {"TRELK_STAGE_STAMPS=" + stampPath}, {}, program);
    if (!desk.ready()) {
        result.error = "TrelkPro or the game did not start";
        return result;
    }
    Watcher watcher(desk.displayName());
    if (!watcher.ready()) {
        result.error = "the X server has no XTEST or DAMAGE extension";
        return result;
    }

    // The console open on the entries page, StartLine lines down.
    watcher.tap(XK_Insert);
    Window console = 0;
    trelk::e2e::waitUntil([&] { return (console = watcher.findConsole()) != 0; });
    if (console == 0) {
        result.error = "the console window did not appear";
        return result;
    }
    watcher.watch(console);
    std::vector<KeySym> way(3, XK_Right);
    way.insert(way.end(), StartLine, XK_Down);
    for (const KeySym key : way) {
        watcher.tap(key);
        if (!watcher.nextDamage(5s)) {
            result.error = "the console did not follow the keys to the entries page";
            return result;
        }
        std::this_thread::sleep_for(50ms);
    }
    std::this_thread::sleep_for(1s); // the console has faded in
    watcher.drain();
    StampFile stamps(stampPath);
    stamps.readNew(0);

    for (int press = 0; press < presses; ++press) {
        const KeySym key = press % 2 == 0 ? XK_Down : XK_Up;
        const Clock::time_point start = Clock::now();
        watcher.key(key, true);
        const std::optional<Clock::time_point> damage = watcher.nextDamage(DamageTimeout);
        watcher.key(key, false);
        // The release is handled (no picture) before the next press; then the stamps of this
        // press are all written.
        std::this_thread::sleep_for(5ms);
        watcher.drain();
        Stamps stamped = stamps.readNew(Nanoseconds(start));
        if (!damage) {
            ++result.lost;
            continue;
        }
        result.totals.push_back(Milliseconds(Nanoseconds(*damage) - Nanoseconds(start)));
        stamped.first["damage"] = Nanoseconds(*damage);
        std::int64_t previous = Nanoseconds(start);
        bool complete = true;
        for (const Stage& stage : Stages) {
            complete = complete && stamped.first.contains(stage.stamp);
        }
        if (!complete) {
            continue;
        }
        result.stamped = true;
        for (const Stage& stage : Stages) {
            const std::int64_t at = stamped.first[stage.stamp];
            result.stages[stage.stamp].push_back(Milliseconds(at - previous));
            previous = at;
        }
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    int presses = 1000;
    std::string program = TRELK_APP_BINARY;
    std::vector<bool> layouts = {false, true};
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--presses" && i + 1 < argc) {
            presses = std::max(1, std::atoi(argv[++i]));
        } else if (argument == "--layout" && i + 1 < argc) {
            const std::string layout = argv[++i];
            layouts = layout == "normal" ? std::vector<bool>{false}
                      : layout == "wide" ? std::vector<bool>{true}
                                         : std::vector<bool>{false, true};
        } else if (argument == "--app" && i + 1 < argc) {
            program = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: %s [--presses N] [--layout normal|wide|both] [--app PROGRAM]\n",
                         argv[0]);
            return 2;
        }
    }

    std::printf("Key press to console pixels (XTest request to XDamage), %d presses per layout,\n"
                "Down and Up alternately on an entries page of %d lines, every press scrolling.\n"
                "Program: %s\nLoad average at the start: %s\n\n",
                presses, EntryCount, program.c_str(), LoadAverage().c_str());
    std::printf("%-7s %8s %5s %9s %9s %9s %9s\n", "layout", "presses", "lost", "median", "p90",
                "p99", "max");
    std::vector<Result> results;
    bool failed = false;
    for (const bool wide : layouts) {
        Result result = Measure(program, wide, presses);
        const char* name = wide ? "wide" : "normal";
        if (!result.error.empty()) {
            std::printf("%-7s %s\n", name, result.error.c_str());
            failed = true;
        } else {
            std::printf("%-7s %8d %5d %7.3fms %7.3fms %7.3fms %7.3fms\n", name, presses,
                        result.lost, Percentile(result.totals, 0.5), Percentile(result.totals, 0.9),
                        Percentile(result.totals, 0.99), Percentile(result.totals, 1.0));
        }
        std::fflush(stdout);
        results.push_back(std::move(result));
    }

    const bool stamped =
        std::any_of(results.begin(), results.end(), [](const Result& r) { return r.stamped; });
    if (!stamped) {
        std::printf("\nNo stage split: this build writes no stage stamps (configure with "
                    "-DTRELK_STAGE_STAMPS=ON).\n");
    } else {
        std::printf("\nStages, median / p99 in ms:");
        for (const bool wide : layouts) {
            std::printf("%20s", wide ? "wide" : "normal");
        }
        std::printf("\n");
        for (const Stage& stage : Stages) {
            std::printf("  %-38s", stage.caption);
            for (const Result& result : results) {
                const auto found = result.stages.find(stage.stamp);
                if (found == result.stages.end()) {
                    std::printf("%20s", "-");
                } else {
                    std::printf("     %6.3f / %6.3f", Percentile(found->second, 0.5),
                                Percentile(found->second, 0.99));
                }
            }
            std::printf("\n");
        }
    }
    std::printf("\nLoad average at the end: %s\n", LoadAverage().c_str());
    return failed ? 1 : 0;
}
