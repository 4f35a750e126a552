#include "QtEventLoop.h"

#include <QCoreApplication>
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

} // namespace trelk
