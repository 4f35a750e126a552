#include "QtEventLoop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMetaObject>

namespace trelk {

void QtEventLoop::post(std::function<void()> work) {
    QCoreApplication* const app = QCoreApplication::instance();
    if (app == nullptr || !work) {
        return;
    }
    QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

void QtEventLoop::processPendingMessages() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

void QtEventLoop::processMessagesFor(int ms) {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    const QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        // Sleeps until an event arrives or the time is up, so the wait costs no CPU.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents,
                                        static_cast<int>(deadline.remainingTime()));
    }
}

} // namespace trelk
