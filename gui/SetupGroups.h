#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSpinBox>

namespace trelk {

class CheckOption;
class MarketData;
class ProxySettings;

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

} // namespace trelk
