#pragma once

#include "platform/ports/EventLoop.h"

namespace trelk {

// The main thread's loop is Qt's: posted work travels as a queued call to the application
// object, which lives on the main thread. Needs a QCoreApplication; without one, posted work is
// dropped.
class QtEventLoop final : public EventLoop {
public:
    void post(std::function<void()> work) override;
    void processPendingMessages() override;
    void processMessagesFor(int ms) override;
};

} // namespace trelk
