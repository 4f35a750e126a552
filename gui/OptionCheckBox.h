#pragma once

#include "core/CheckOption.h"

#include <QCheckBox>
#include <QPointer>

namespace trelk {

// A check box that is a view of an option: a click sets the option, a change from code ticks
// the box. The option may outlive the box.
inline QCheckBox* BoundCheckBox(const char* name, const QString& caption, CheckOption& option,
                                QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(option.checked());
    QPointer<QCheckBox> view(box);
    option.addView([view](bool on) {
        if (view) {
            view->setChecked(on);
        }
    });
    QObject::connect(box, &QCheckBox::toggled, box, [&option](bool on) { option.setChecked(on); });
    return box;
}

} // namespace trelk
