#include "SetupGroups.h"

#include "LogSettingsBox.h"
#include "QtText.h"
#include "TfrmProxy.h"
#include "core/CheckOption.h"
#include "downloads/DatabaseDownload.h"
#include "downloads/MarketData.h"
#include "downloads/UpdateCheck.h"
#include "gamecontrol/GameAutoStart.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>

namespace trelk {

namespace {

// The box follows the option when code changes it ("//getmarket" ticks it), and a click
// changes the option.
void Bind(QCheckBox* box, CheckOption& option) {
    box->setChecked(option.checked());
    QPointer<QCheckBox> guarded = box;
    option.addView([guarded](bool on) {
        if (guarded != nullptr) {
            guarded->setChecked(on);
        }
    });
    QObject::connect(box, &QCheckBox::toggled, box, [&option](bool on) { option.setChecked(on); });
}

} // namespace

SetupSettingsGroup::SetupSettingsGroup(CheckOption& autoRunVL, GameAutoStart& gameAutoStart,
                                       CheckOption& autoExitTRL, CheckOption& logEnabled,
                                       LogBufSettings& logSettings, QWidget* parent)
    : QGroupBox("Settings", parent) {
    setObjectName("gbSettings");
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    chkAutoStartVL = new QCheckBox("Auto Start ", this);
    chkAutoStartVL->setObjectName("chkAutoStartVL");
    chkAutoStartVL->setToolTip("Start Voidline when TrelkPro starts (hold Shift to skip it once)");
    Bind(chkAutoStartVL, autoRunVL);
    btnVLPath = new QPushButton("Voidline", this);
    btnVLPath->setObjectName("btnVLPath");
    btnVLPath->setToolTip("Choose the program or launcher that starts Voidline");
    connect(btnVLPath, &QPushButton::clicked, this,
            [&gameAutoStart] { gameAutoStart.btnVLPathClick(); });
    chkAutoExitTRL = new QCheckBox("Auto Shutdown Trelk", this);
    chkAutoExitTRL->setObjectName("chkAutoExitTRL");
    chkAutoExitTRL->setToolTip("Close TrelkPro when Voidline ends");
    Bind(chkAutoExitTRL, autoExitTRL);
    logBox = new LogSettingsBox(logEnabled, logSettings, this);
    grid->addWidget(chkAutoStartVL, 0, 0);
    grid->addWidget(btnVLPath, 0, 1);
    grid->addWidget(chkAutoExitTRL, 1, 0, 1, 2);
    grid->addWidget(logBox, 2, 0, 1, 2);
}

MarketGroup::MarketGroup(CheckOption& marketEnable, MarketData& market, QWidget* parent)
    : QGroupBox("Market", parent), market_(market) {
    setObjectName("gbMarket");
    auto* grid = new QGridLayout(this);
    cbMarketEnable = new QCheckBox("Enable Updates", this);
    cbMarketEnable->setObjectName("cbMarketEnable");
    Bind(cbMarketEnable, marketEnable);
    seMarketUpdateInterval = new QSpinBox(this);
    seMarketUpdateInterval->setObjectName("seMarketUpdateInterval");
    seMarketUpdateInterval->setRange(MarketData::MinInterval, MarketData::MaxInterval);
    seMarketUpdateInterval->setValue(market.SpinValue());
    seMarketUpdateInterval->installEventFilter(this);
    grid->addWidget(cbMarketEnable, 0, 0, 1, 2);
    grid->addWidget(new QLabel("Update Interval", this), 1, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(seMarketUpdateInterval);
    row->addWidget(new QLabel("(Minutes)", this));
    grid->addLayout(row, 1, 1);

    QPointer<QSpinBox> spin = seMarketUpdateInterval;
    market.addSpinView([spin](int minutes) {
        if (spin != nullptr && spin->value() != minutes) {
            const QSignalBlocker quiet(spin);
            spin->setValue(minutes);
        }
    });
    connect(seMarketUpdateInterval, &QSpinBox::valueChanged, this,
            [&market](int minutes) { market.seMarketUpdateIntervalChange(minutes); });
}

void MarketGroup::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    const QSignalBlocker quiet(seMarketUpdateInterval);
    seMarketUpdateInterval->setValue(market_.SpinValue());
}

bool MarketGroup::eventFilter(QObject* watched, QEvent* event) {
    // seMarketUpdateIntervalKeyDown: Enter moves on to the switch.
    if (watched == seMarketUpdateInterval && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            cbMarketEnable->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

ServerGroup::ServerGroup(CheckOption& proxyEnabled, ProxySettings& proxy, QWidget* parent)
    : QGroupBox("Server", parent), proxy_(proxy) {
    setObjectName("gbServer");
    auto* row = new QHBoxLayout(this);
    chkProxyEnabled = new QCheckBox(" Use ", this);
    chkProxyEnabled->setObjectName("chkProxyEnabled");
    chkProxyEnabled->setToolTip("Use Proxy Server");
    Bind(chkProxyEnabled, proxyEnabled);
    bProxySet = new QPushButton("Proxy", this);
    bProxySet->setObjectName("bProxySet");
    bProxySet->setToolTip("Click to enter Proxy Server information.");
    row->addWidget(chkProxyEnabled);
    row->addWidget(bProxySet);
    connect(bProxySet, &QPushButton::clicked, this, &ServerGroup::bProxySetClick);
}

void ServerGroup::bProxySetClick() {
    TfrmProxy dialog(proxy_, window());
    dialog.exec();
}

RoidDatabaseGroup::RoidDatabaseGroup(CheckOption& autoUpdate, DatabaseDownload& download,
                                     UpdateCheck& check, QWidget* parent)
    : QGroupBox("Roid Database", parent) {
    setObjectName("gbRoidDatabase");
    auto* grid = new QGridLayout(this);
    lblTrkFileDate = new QLabel(toQt(download.TrkFileDate()), this);
    lblTrkFileDate->setObjectName("lblTrkFileDate");
    btnDownload = new QPushButton("Update", this);
    btnDownload->setObjectName("btnDownload");
    btnDownload->setToolTip("Check for a newer database and program version");
    cbDBAutoUpdate = new QCheckBox("Auto Update", this);
    cbDBAutoUpdate->setObjectName("cbDBAutoUpdate");
    cbDBAutoUpdate->setToolTip("Check for a newer database when Trelk starts");
    Bind(cbDBAutoUpdate, autoUpdate);
    grid->addWidget(new QLabel("Date Created:", this), 0, 0);
    grid->addWidget(lblTrkFileDate, 0, 1);
    grid->addWidget(btnDownload, 1, 0);
    grid->addWidget(cbDBAutoUpdate, 1, 1);

    QPointer<QLabel> label = lblTrkFileDate;
    download.addDateView([label](const std::string& date) {
        if (label != nullptr) {
            label->setText(toQt(date));
        }
    });
    connect(btnDownload, &QPushButton::clicked, this, [&check] { check.btnDownloadClick(); });
}

} // namespace trelk
