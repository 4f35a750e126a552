#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

namespace trelk {

class CheckOption;
class DatabaseDownload;
class GameAutoStart;
class LogBufSettings;
class LogSettingsBox;
class MarketData;
class ProxySettings;
class UpdateCheck;

// The Setup tab's "Settings" group: the game's auto start with the button to its start file,
// TrelkPro's auto shutdown with the game, and the logging switch with its settings.
class SetupSettingsGroup final : public QGroupBox {
    Q_OBJECT
public:
    SetupSettingsGroup(CheckOption& autoRunVL, GameAutoStart& gameAutoStart,
                       CheckOption& autoExitTRL, CheckOption& logEnabled,
                       LogBufSettings& logSettings, QWidget* parent = nullptr);

    QCheckBox* chkAutoStartVL = nullptr;
    QPushButton* btnVLPath = nullptr;
    QCheckBox* chkAutoExitTRL = nullptr;
    LogSettingsBox* logBox = nullptr;
};

// The Setup tab's "Market" group: the switch and the refresh interval.
class MarketGroup final : public QGroupBox {
    Q_OBJECT
public:
    MarketGroup(CheckOption& marketEnable, MarketData& market, QWidget* parent = nullptr);

    QCheckBox* cbMarketEnable = nullptr;
    QSpinBox* seMarketUpdateInterval = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The interval as the settings hold it now (they may have been loaded after the group
    // was built).
    void showEvent(QShowEvent* event) override;

private:
    MarketData& market_;
};

// The Setup tab's "Server" group: the proxy switch and the proxy dialog.
class ServerGroup final : public QGroupBox {
    Q_OBJECT
public:
    ServerGroup(CheckOption& proxyEnabled, ProxySettings& proxy, QWidget* parent = nullptr);

    QCheckBox* chkProxyEnabled = nullptr;
    QPushButton* bProxySet = nullptr;

    // Opens the proxy dialog modally.
    void bProxySetClick();

private:
    ProxySettings& proxy_;
};

// The Setup tab's "Roid Database" group: the date of the database in use, the "Update" check
// and the "Auto Update" switch (whether the check runs at start-up).
class RoidDatabaseGroup final : public QGroupBox {
    Q_OBJECT
public:
    RoidDatabaseGroup(CheckOption& autoUpdate, DatabaseDownload& download, UpdateCheck& check,
                      QWidget* parent = nullptr);

    QLabel* lblTrkFileDate = nullptr;
    QPushButton* btnDownload = nullptr;
    QCheckBox* cbDBAutoUpdate = nullptr;
};

} // namespace trelk
