#pragma once

#include "platform/ports/Desktop.h"

#include <set>
#include <string>

namespace trelk {

// A desktop whose top-level windows are a set of titles the test controls, one of them in
// front (the foreground window) or none.
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

private:
    std::set<std::string> windows_;
    std::string foreground_;
    bool singleClicksOnly_ = false;
};

} // namespace trelk
