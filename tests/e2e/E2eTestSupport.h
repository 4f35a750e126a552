#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace trelk::e2e {

// Runs a shell command and returns what it printed on standard output; status gets its exit
// status.
std::string capture(const std::string& command, int* status = nullptr);

// Polls until the condition holds or the time runs out; true when it held.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(15));

// A child process with its own environment additions.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    void signal(int number);
    // Waits for the exit; the exit status, or -1 when it did not end in time.
    int wait(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    int status_ = -1;
    bool reaped_ = false;
};

// The screen of a virtual display: its size as Xvfb takes it, and the monitors RandR lists on
// it, each as `xrandr --setmonitor` takes them ("LEFT 1920/508x1080/286+0+0 screen"); none: the
// screen is one monitor.
struct DisplayScreen {
    std::string size = "1280x1024x24";
    std::vector<std::string> monitors;
};

// A virtual X server on a free display number, for one test.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const DisplayScreen& screen = {});
    ~VirtualDisplay();
    const std::string& name() const { return name_; }
    // DISPLAY=... for a command line.
    std::string env() const { return "DISPLAY=" + name_; }
    // Ends the server now, as a log-out does; harmless twice.
    void stop();

private:
    std::string name_;
    std::unique_ptr<ChildProcess> server_;
};

} // namespace trelk::e2e
