#pragma once

#include <QLabel>
#include <QListWidget>
#include <QWidget>

namespace trelk {

class AddOnAutoStart;
class AddOnModules;

// The Setup tab's list of registered add-ons: a tick box per add-on that starts it with
// TrelkPro.
class AddOnsBox final : public QWidget {
    Q_OBJECT
public:
    AddOnsBox(AddOnModules& addOns, AddOnAutoStart& autoStart, QWidget* parent = nullptr);

    QListWidget* clbAddOns = nullptr;
    QLabel* lblAddOnSelect = nullptr;
    QLabel* lblAddOnAutoStart = nullptr;

private:
    void refresh();

    AddOnModules& addOns_;
    AddOnAutoStart& autoStart_;
};

} // namespace trelk
