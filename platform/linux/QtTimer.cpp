#include "QtTimer.h"

#include <QTimer>

namespace trelk {

QtTimer::QtTimer(std::string name, int intervalMs)
    : name_(std::move(name)), interval_(intervalMs), timer_(std::make_unique<QTimer>()) {
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { onTimeout(); });
}

QtTimer::~QtTimer() {
    timer_->stop();
    QObject::disconnect(timer_.get(), nullptr, nullptr, nullptr);
    if (dispatchAlive_ != nullptr) {
        // The handler is destroying its own timer from inside the QTimer's timeout signal:
        // the QTimer is still on the call stack, so it goes once control is back in the loop.
        *dispatchAlive_ = false;
        timer_.release()->deleteLater();
    }
}

void QtTimer::setInterval(int ms) {
    interval_ = ms;
    restart();
}

void QtTimer::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    restart();
}

void QtTimer::setHandler(std::function<void()> handler) {
    handler_ = std::move(handler);
}

void QtTimer::restart() {
    // An interval of 0 would make the QTimer fire at every loop iteration; a window timer with
    // interval 0 does not run at all.
    if (enabled_ && interval_ > 0) {
        timer_->start(interval_);
    } else {
        timer_->stop();
    }
}

void QtTimer::onTimeout() {
    if (!handler_) {
        return;
    }
    // A copy, so that the handler may replace itself or destroy this timer while it runs.
    const std::function<void()> handler = handler_;
    bool alive = true;
    bool* const outerAlive = dispatchAlive_;
    dispatchAlive_ = &alive;
    handler();
    if (!alive) {
        if (outerAlive != nullptr) {
            *outerAlive = false;
        }
        return;
    }
    dispatchAlive_ = outerAlive;
}

} // namespace trelk
