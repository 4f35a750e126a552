#pragma once

#include "platform/ports/Desktop.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace trelk {

// A desktop whose top-level windows are a set of titles the test controls, one of them in
// front (the foreground window) or none. The screen is one monitor until a test lists several,
// and a window has no place on it until a test puts it somewhere.
class SimDesktop final : public Desktop {
public:
    bool topLevelWindowExists(const std::string& title) override {
        return windows_.contains(title);
    }
    bool foregroundWindowHasTitle(const std::string& title) override {
        return windows_.contains(title) && foreground_ == title;
    }
    bool publishApplicationWindow(const std::string& title) override {
        windows_.insert(title);
        return true;
    }
    bool canSearchWindows() const override { return true; }
    bool trayDeliversSingleClicksOnly() const override { return singleClicksOnly_; }

    // The simulated desktop has no task bar.
    void setTaskBarButton(unsigned long /*window*/, bool /*shown*/) override {}

    std::optional<ScreenArea> monitorShowingWindow(const std::string& title) override {
        const auto placed = areas_.find(title);
        if (!windows_.contains(title) || placed == areas_.end()) {
            return std::nullopt;
        }
        return MonitorHoldingMost(monitors_, placed->second);
    }

    void setTrayDeliversSingleClicksOnly(bool only) { singleClicksOnly_ = only; }

    void openWindow(const std::string& title) { windows_.insert(title); }
    void closeWindow(const std::string& title) {
        windows_.erase(title);
        if (foreground_ == title) {
            foreground_.clear();
        }
    }
    // The window with this title comes to the front; an empty title: none is in front.
    void setForegroundWindow(const std::string& title) { foreground_ = title; }
    const std::string& foregroundWindow() const { return foreground_; }
    // The monitors as the window system would list them.
    void setMonitors(std::vector<Monitor> monitors) { monitors_ = std::move(monitors); }
    // Where the window with this title lies on the screen (it moves there).
    void placeWindow(const std::string& title, ScreenArea area) { areas_[title] = area; }

private:
    std::set<std::string> windows_;
    std::string foreground_;
    std::vector<Monitor> monitors_;
    std::map<std::string, ScreenArea> areas_;
    bool singleClicksOnly_ = false;
};

} // namespace trelk
