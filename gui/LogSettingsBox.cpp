#include "LogSettingsBox.h"

#include "TfrmLogBuf.h"
#include "core/CheckOption.h"

#include <QHBoxLayout>
#include <QPointer>

namespace trelk {

LogSettingsBox::LogSettingsBox(CheckOption& logEnabled, LogBufSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
    setObjectName("LogSettingsBox");
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    chkLogEnabled = new QCheckBox("Enable ", this);
    chkLogEnabled->setObjectName("chkLogEnabled");
    chkLogEnabled->setToolTip("Turn On Logging of Command Line Entries");
    btnLogBufCfg = new QPushButton("Logging", this);
    btnLogBufCfg->setObjectName("btnLogBufCfg");
    btnLogBufCfg->setToolTip("Click to adjust log settings");
    row->addWidget(chkLogEnabled);
    row->addWidget(btnLogBufCfg);
    row->addStretch(1);

    // "//logon" and "//logoff" change the option from code; the box follows.
    chkLogEnabled->setChecked(logEnabled.checked());
    QPointer<QCheckBox> box = chkLogEnabled;
    logEnabled.addView([box](bool on) {
        if (box != nullptr) {
            box->setChecked(on);
        }
    });
    connect(chkLogEnabled, &QCheckBox::toggled, this,
            [&logEnabled](bool on) { logEnabled.setChecked(on); });
    connect(btnLogBufCfg, &QPushButton::clicked, this, &LogSettingsBox::btnLogBufCfgClick);
}

void LogSettingsBox::btnLogBufCfgClick() {
    TfrmLogBuf dialog(settings_, window());
    dialog.exec();
}

} // namespace trelk
