#pragma once

#include <functional>
#include <memory>
#include <string>

namespace trelk {

// A window timer as the original controls have them: an interval, an enabled flag, a free
// integer tag and exactly one handler. Setting the interval or enabling restarts the period.
class Timer {
public:
    virtual ~Timer() = default;

    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    virtual void setTag(int tag) = 0;
    virtual int tag() const = 0;
    // Replaces the handler; the handler runs on the main thread at each tick.
    virtual void setHandler(std::function<void()> handler) = 0;
    virtual const std::string& name() const = 0;
};

class TimerFactory {
public:
    virtual ~TimerFactory() = default;
    // A new, disabled timer. The name is for traces and tests only.
    virtual std::unique_ptr<Timer> createTimer(std::string name, int intervalMs) = 0;
};

} // namespace trelk
