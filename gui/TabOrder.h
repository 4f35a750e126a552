#pragma once

#include <QWidget>
#include <initializer_list>

namespace trelk {

// Sets the order Tab walks the named children of parent in, as they are listed: reading order,
// whatever order they were created in.
inline void ChainTabOrder(QWidget* parent, std::initializer_list<const char*> names) {
    QWidget* previous = nullptr;
    for (const char* name : names) {
        auto* widget = parent->findChild<QWidget*>(QLatin1String(name));
        Q_ASSERT(widget != nullptr);
        if (previous != nullptr && widget != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

} // namespace trelk
