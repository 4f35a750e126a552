#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <QWidget>

namespace trelk {

class CheckOption;
class LogBufSettings;

// The logging controls of the Setup tab: the switch and the button to the log settings.
class LogSettingsBox final : public QWidget {
    Q_OBJECT
public:
    LogSettingsBox(CheckOption& logEnabled, LogBufSettings& settings, QWidget* parent = nullptr);

    QCheckBox* chkLogEnabled = nullptr;
    QPushButton* btnLogBufCfg = nullptr;

    // Opens the log settings dialog modally.
    void btnLogBufCfgClick();

private:
    LogBufSettings& settings_;
};

} // namespace trelk
