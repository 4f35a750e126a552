#include "QtEventLoop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>

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
    // A local loop sleeps until the next event or the end of the wait; processEvents() with
    // a time limit would ignore WaitForMoreEvents and keep a core busy.
    QEventLoop wait;
    QTimer::singleShot(std::max(ms, 0), &wait, &QEventLoop::quit);
    wait.exec();
}

} // namespace trelk
