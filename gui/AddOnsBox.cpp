#include "AddOnsBox.h"

#include "QtText.h"
#include "addons/AddOnAutoStart.h"
#include "addons/AddOnModules.h"

#include <QPointer>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace trelk {

AddOnsBox::AddOnsBox(AddOnModules& addOns, AddOnAutoStart& autoStart, QWidget* parent)
    : QWidget(parent), addOns_(addOns), autoStart_(autoStart) {
    setObjectName("AddOnsBox");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    lblAddOnSelect =
        new QLabel("Select  Addon below to enable \nAuto Start feature for that Addon.", this);
    lblAddOnSelect->setObjectName("lblAddOnSelect");
    clbAddOns = new QListWidget(this);
    clbAddOns->setObjectName("clbAddOns");
    lblAddOnAutoStart = new QLabel("Addons that are selected will start when TrelkPro starts.\n"
                                   "UnCheckable Addons do not support the AutoStart feature.",
                                   this);
    lblAddOnAutoStart->setObjectName("lblAddOnAutoStart");
    // Two sentences made for a wider box: wrapped, never cut.
    lblAddOnAutoStart->setWordWrap(true);
    column->addWidget(lblAddOnSelect);
    column->addWidget(clbAddOns);
    column->addWidget(lblAddOnAutoStart);

    refresh();
    QPointer<AddOnsBox> self = this;
    addOns_.addView([self] {
        if (self != nullptr) {
            self->refresh();
        }
    });
    connect(clbAddOns, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = clbAddOns->row(item);
        if (row < 0) {
            return;
        }
        addOns_.SetRowChecked(static_cast<std::size_t>(row), item->checkState() == Qt::Checked);
        autoStart_.clbAddOnsClick();
    });
}

void AddOnsBox::refresh() {
    const QSignalBlocker blocker(clbAddOns);
    const std::vector<AddOnRow>& rows = addOns_.Rows();
    while (clbAddOns->count() > static_cast<int>(rows.size())) {
        delete clbAddOns->takeItem(clbAddOns->count() - 1);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = static_cast<int>(i);
        if (row >= clbAddOns->count()) {
            auto* item = new QListWidgetItem(clbAddOns);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        }
        QListWidgetItem* item = clbAddOns->item(row);
        item->setText(toQt(rows[i].Name));
        item->setCheckState(rows[i].Checked ? Qt::Checked : Qt::Unchecked);
    }
}

} // namespace trelk
