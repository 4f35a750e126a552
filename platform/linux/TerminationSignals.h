#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace trelk {

// Turns SIGTERM, SIGINT and SIGHUP (log-off, shutdown, a closed terminal) into a call on the
// main thread. The handler only writes a byte to a pipe; the notifier does the rest. Needs the
// QCoreApplication; while it lives the signals no longer end the process on their own.
class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void()> onTerminate);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // First thing in main(), before any thread exists: the three signals wait (pending) until
    // the handler is in place, so a log-off during start-up closes like any other instead of
    // killing the process half-started. The threads started meanwhile keep them blocked, so
    // the main thread is the one that takes them.
    static void HoldUntilHandled();

private:
    static void handle(int signal);
    void drain();

    std::function<void()> onTerminate_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace trelk
