#pragma once

#include "platform/ports/MainWindow.h"

#include <QAbstractNativeEventFilter>
#include <cstdint>

namespace trelk {

// Takes the hook library's ClientMessages out of the X event stream and hands them to the
// handler, on the main thread and in the order they arrived.
class HookMessageFilter final : public QAbstractNativeEventFilter {
public:
    explicit HookMessageFilter(MainWindow::HookMessageHandler handler);
    ~HookMessageFilter() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    MainWindow::HookMessageHandler handler_;
    std::uint32_t messageAtom_ = 0;
};

} // namespace trelk
