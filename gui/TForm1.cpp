#include "TForm1.h"

#include "AboutBox.h"
#include "AddOnsBox.h"
#include "AppIcon.h"
#include "CmdListTab.h"
#include "ConsoleTab.h"
#include "ElidedLabel.h"
#include "FilesTab.h"
#include "KeyMapTab.h"
#include "LogTab.h"
#include "MacroTab.h"
#include "OptionCheckBox.h"
#include "QtText.h"
#include "ScannerTab.h"
#include "SetupGroups.h"
#include "TabOrder.h"
#include "TfmTrelkConv.h"
#include "VersionHistoryDialog.h"
#include "WebTab.h"
#include "app/TrelkApp.h"
#include "platform/ports/Desktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace trelk {

namespace {

struct TabSheet {
    const char* name;
    const char* caption;
};

constexpr TabSheet TabSheets[] = {
    {"tsSetup", "Setup"}, {"tsConsole", "Console"},  {"tsLumacor", "Files"},
    {"tsMacro", "Macro"}, {"tsCmdList", "Cmd List"}, {"tsScanner", "Scanner"},
    {"tsWeb", "Web"},     {"tsKeyMap", "KeyMap"},    {"tsLogBuf", "Log"},
};

} // namespace

TForm1::TForm1(HookMessageReceiver& hookMessages, Desktop& desktop)
    : hookMessages_(hookMessages), desktop_(desktop) {
    setObjectName("TForm1");
    setWindowIcon(AppIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(2);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setUsesScrollButtons(false);
    // Nine tabs share 612 pixels with the caption buttons: keep them narrow.
    PageControl1->setStyleSheet(
        "QTabBar::tab { min-width: 51px; padding: 4px 1px; margin-right: 1px;"
        " border: 1px solid #b4b9c0; border-bottom: none; background: #e6e9ed;"
        " border-top-left-radius: 3px; border-top-right-radius: 3px; }"
        "QTabBar::tab:selected { background: #fbfbfb; }");
    layout->addWidget(PageControl1, 1);
    buildTabSheets();
    buildMenus();
    buildStatusBar(this);

    // Centre on the screen the window opens on.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TForm1::~TForm1() = default;

void TForm1::buildTabSheets() {
    for (const TabSheet& sheet : TabSheets) {
        auto* page = new QWidget(PageControl1);
        page->setObjectName(sheet.name);
        PageControl1->addTab(page, sheet.caption);
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::onTabChanged);
}

void TForm1::buildStatusBar(QWidget* parent) {
    auto* bar = new QWidget(parent);
    bar->setObjectName("StatusBar1");
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    StatusPanel0 = new ElidedLabel(bar);
    StatusPanel0->setProperty(ElidedLabel::ElidesProperty, true);
    StatusPanel0->setObjectName("StatusPanel0");
    StatusPanel0->setFixedWidth(300);
    StatusPanel0->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanel1 = new ElidedLabel(bar);
    StatusPanel1->setProperty(ElidedLabel::ElidesProperty, true);
    StatusPanel1->setObjectName("StatusPanel1");
    StatusPanel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    row->addWidget(StatusPanel0);
    row->addWidget(StatusPanel1, 1);
    Button2 = new QPushButton("Version History", bar);
    Button2->setObjectName("Button2");
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    row->addWidget(Button2);
    parent->layout()->addWidget(bar);
}

void TForm1::buildMenus() {
    PopupMenuTrayIcon = new QMenu(this);
    PopupMenuTrayIcon->setObjectName("PopupMenuTrayIcon");
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");

    // The caption buttons of the original window live in the tab bar's corner here:
    // window managers do not take extra title-bar buttons.
    auto* corner = new QWidget(PageControl1);
    auto* row = new QHBoxLayout(corner);
    row->setContentsMargins(0, 0, 0, 0);
    JvFormButton1 = new QToolButton(corner);
    JvFormButton1->setObjectName("JvFormButton1");
    JvFormButton1->setText("?");
    JvFormButton1->setToolTip("Help and About");
    JvFormButton1->setMenu(PopupMenu1);
    JvFormButton1->setPopupMode(QToolButton::InstantPopup);
    JvFormButtonHide = new QToolButton(corner);
    JvFormButtonHide->setObjectName("JvFormButtonHide");
    JvFormButtonHide->setText("Hide");
    JvFormButtonHide->setToolTip("Hide Trelk");
    row->addWidget(JvFormButton1);
    row->addWidget(JvFormButtonHide);
    PageControl1->setCornerWidget(corner, Qt::TopRightCorner);

    JvTrayIcon1 = new QSystemTrayIcon(AppIcon(), this);
    JvTrayIcon1->setObjectName("JvTrayIcon1");
    JvTrayIcon1->setContextMenu(PopupMenuTrayIcon);
}

void TForm1::buildTabContents(TrelkApp& app) {
    auto* logPage = PageControl1->findChild<QWidget*>("tsLogBuf");
    (new QVBoxLayout(logPage))->addWidget(new LogTab(app.pilotLog(), logPage));
    PageControl1->setTabToolTip(PageControl1->indexOf(logPage), "View Log");

    auto* setupPage = PageControl1->findChild<QWidget*>("tsSetup");
    SettingsController& settings = app.core().settings();
    auto* settingsGroup =
        new SetupSettingsGroup(settings.AutoRunVL, app.gameAutoStart(), settings.AutoExitTRL,
                               settings.LogEnabled, app.logBufSettings(), setupPage);
    // Two columns, each of groups as wide as the column: the settings, market and server on
    // the left; screen capture, the database and the add-ons on the right.
    settingsGroup->setGeometry(12, 4, 290, settingsGroup->sizeHint().height());
    auto* marketGroup = new MarketGroup(settings.MarketEnable, app.market(), setupPage);
    marketGroup->setGeometry(12, 117, 290, marketGroup->sizeHint().height());
    auto* serverGroup = new ServerGroup(settings.ProxyEnabled, app.proxy(), setupPage);
    serverGroup->setGeometry(12, 210, 290, serverGroup->sizeHint().height());
    // Print Screen pictures go to the Photo folder only while this is ticked.
    auto* screenCapture = new QGroupBox("Screen Capture", setupPage);
    screenCapture->setObjectName("gbScreenCapture");
    QCheckBox* photoEnabled = BoundCheckBox("cbPhotoEnabled", "Enable",
                                            app.core().settings().PhotoEnabled, screenCapture);
    photoEnabled->setToolTip("Save a picture of the screen in the Photo folder on Print Screen");
    (new QHBoxLayout(screenCapture))->addWidget(photoEnabled);
    // As wide as the column: the title needs more than its one box.
    screenCapture->setGeometry(316, 4, 284, screenCapture->sizeHint().height());
    auto* roidDatabaseGroup = new RoidDatabaseGroup(settings.DBAutoUpdate, app.databaseDownload(),
                                                    app.updateCheck(), setupPage);
    roidDatabaseGroup->setGeometry(316, 69, 284, roidDatabaseGroup->sizeHint().height());
    auto* addOnsBox = new AddOnsBox(app.addOns(), app.addOnAutoStart(), setupPage);
    addOnsBox->setGeometry(316, 156, 284, 158);

    // The left column top to bottom, then the right.
    ChainTabOrder(setupPage,
                  {"chkAutoStartVL", "btnVLPath", "chkAutoExitTRL", "chkLogEnabled", "btnLogBufCfg",
                   "cbMarketEnable", "seMarketUpdateInterval", "chkProxyEnabled", "bProxySet",
                   "cbPhotoEnabled", "btnDownload", "cbDBAutoUpdate", "clbAddOns"});

    auto* consolePage = PageControl1->findChild<QWidget*>("tsConsole");
    (new QVBoxLayout(consolePage))
        ->addWidget(new ConsoleTab(app.appearance(), app.core().settings().cbDebug,
                                   app.core().paths().AppDir, consolePage));

    auto* filesPage = PageControl1->findChild<QWidget*>("tsLumacor");
    filesTab_ = new FilesTab(app.dataLists(), filesPage);
    (new QVBoxLayout(filesPage))->addWidget(filesTab_);

    auto* cmdListPage = PageControl1->findChild<QWidget*>("tsCmdList");
    (new QVBoxLayout(cmdListPage))->addWidget(new CmdListTab(app.commandList(), cmdListPage));

    auto* webPage = PageControl1->findChild<QWidget*>("tsWeb");
    (new QVBoxLayout(webPage))->addWidget(new WebTab(app.urlList(), webPage));

    auto* macroPage = PageControl1->findChild<QWidget*>("tsMacro");
    (new QVBoxLayout(macroPage))->addWidget(new MacroTab(app.macroTable(), macroPage));

    auto* scannerPage = PageControl1->findChild<QWidget*>("tsScanner");
    (new QVBoxLayout(scannerPage))
        ->addWidget(new ScannerTab(app.radar(), app.core().settings(),
                                   app.core().paths().LibraryDir, scannerPage));

    auto* keyMapPage = PageControl1->findChild<QWidget*>("tsKeyMap");
    keyMapTab_ = new KeyMapTab(app.keyMap(), keyMapPage);
    (new QVBoxLayout(keyMapPage))->addWidget(keyMapTab_);
}

void TForm1::bind(TrelkApp& app) {
    AppCore& core = app.core();
    core_ = &core;
    databaseDownload_ = &app.databaseDownload();
    buildTabContents(app);
    auto add = [](QMenu* menu, const char* name, const char* text, auto handler) {
        QAction* action = menu->addAction(text);
        action->setObjectName(name);
        QObject::connect(action, &QAction::triggered, menu, handler);
        return action;
    };
    add(PopupMenuTrayIcon, "TrelkHelp2", "Trelk Help", [&core] { core.TrelkHelp2Click(); });
    add(PopupMenuTrayIcon, "About1", "About...", [this] { About1Click(); });
    PopupMenuTrayIcon->addSeparator();
    add(PopupMenuTrayIcon, "ConfigureTrelk1", "Configure Trelk",
        [&core] { core.ConfigureTrelk1Click(); });
    GameAutoStart& gameAutoStart = app.gameAutoStart();
    GameExitWatcher& gameExitWatcher = app.gameExitWatcher();
    bindCheckAction(add(PopupMenuTrayIcon, "VLAutoStart1", "VL Auto Startup",
                        [&gameAutoStart] { gameAutoStart.VLAutoStart1Click(); }),
                    core.settings().AutoRunVL);
    bindCheckAction(add(PopupMenuTrayIcon, "TRLAutoExit1", "TRL Auto Shutdown",
                        [&gameExitWatcher] { gameExitWatcher.TRLAutoExit1Click(); }),
                    core.settings().AutoExitTRL);
    PopupMenuTrayIcon->addSeparator();
    add(PopupMenuTrayIcon, "Hide1", "Hide Trelk", [&core] { core.Hide1Click(); });
    add(PopupMenuTrayIcon, "ExitTrelk1", "Exit Trelk", [&core] { core.ExitTrelk1Click(); });

    add(PopupMenu1, "TrelkHelp1", "Trelk Help", [&core] { core.TrelkHelp2Click(); });
    add(PopupMenu1, "About2", "About...", [this] { About1Click(); });

    connect(JvFormButtonHide, &QToolButton::clicked, this,
            [&core] { core.JvFormButtonHideClick(); });
    connect(JvTrayIcon1, &QSystemTrayIcon::activated, this,
            [&core](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick) {
                    core.JvTrayIcon1DblClick();
                } else if (reason == QSystemTrayIcon::Trigger) {
                    core.JvTrayIcon1Click();
                }
            });

    if (trayAvailable()) {
        JvTrayIcon1->show();
    }
}

void TForm1::bindCheckAction(QAction* action, CheckOption& option) {
    // The item shows the option; what a click does is the item's own handler, which may leave
    // the option as it was (a start file that is missing), so the mark follows the option.
    action->setCheckable(true);
    action->setChecked(option.checked());
    option.addView([action](bool on) { action->setChecked(on); });
    connect(action, &QAction::triggered, this,
            [action, &option] { action->setChecked(option.checked()); });
}

bool TForm1::trayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TForm1::showNormalAndActivate() {
    showNormal();
    raise();
    activateWindow();
}

void TForm1::hideWindow() {
    // Without a tray a hidden window could never be shown again: minimise instead.
    if (trayAvailable()) {
        hide();
    } else {
        showMinimized();
    }
}

void TForm1::setCaption(const std::string& caption) {
    setWindowTitle(toQt(caption));
}

void TForm1::setTrayHint(const std::string& hint) {
    JvTrayIcon1->setToolTip(toQt(hint));
}

void TForm1::setStatusText(int panel, const std::string& text) {
    (panel == 0 ? StatusPanel0 : StatusPanel1)->setText(toQt(text));
}

void TForm1::setActiveTab(const std::string& tabSheetName) {
    if (auto* page = PageControl1->findChild<QWidget*>(toQt(tabSheetName))) {
        // Only the pilot leaving a tab saves its group, not the program switching tabs.
        currentTab_ = -1;
        PageControl1->setCurrentWidget(page);
        currentTab_ = PageControl1->currentIndex();
    }
}

void TForm1::installKeyMapMessageFilter() {
    if (keyMapTab_) {
        keyMapTab_->installMessageFilter();
    }
}

void TForm1::removeKeyMapMessageFilter() {
    if (keyMapTab_) {
        keyMapTab_->removeMessageFilter();
    }
}

void TForm1::refreshKeyMapPanels() {
    if (keyMapTab_) {
        keyMapTab_->refresh();
    }
}

void TForm1::flashWindow() {
    // The window manager flashes the frame or the task-bar entry until the pilot turns to it.
    QApplication::alert(this, 0);
}

void TForm1::showDatabaseDialog() {
    if (databaseDownload_ == nullptr || databaseDialog_) {
        return;
    }
    // Shown over whatever the pilot looks at, without taking the keys from the game.
    const bool takeFocus = ownWindowActive();
    databaseDialog_ = new TfmTrelkConv(*databaseDownload_, this);
    databaseDialog_->setAttribute(Qt::WA_ShowWithoutActivating, !takeFocus);
    databaseDialog_->show();
}

TfmTrelkConv* TForm1::databaseDialog() const {
    return databaseDialog_;
}

void TForm1::closeDatabaseDialog() {
    if (databaseDialog_) {
        databaseDialog_->closeFromModel();
    }
}

void TForm1::destroyWindow() {
    closeAllowed_ = true;
    JvTrayIcon1->hide();
    hide();
    QCoreApplication::quit();
}

bool TForm1::ownWindowActive() const {
    // Any window of the application, its dialogs included.
    return QApplication::activeWindow() != nullptr;
}

std::uint32_t TForm1::windowHandle() const {
    return static_cast<std::uint32_t>(const_cast<TForm1*>(this)->winId());
}

void TForm1::setHookMessageHandler(HookMessageHandler handler) {
    hookMessages_.setHandler(std::move(handler));
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (closeAllowed_ || core_ == nullptr) {
        event->accept();
        return;
    }
    // The core decides; when it allows the close it calls destroyWindow().
    event->ignore();
    core_->Close();
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The tray icon is the way back to a hidden window; without one the task bar is.
    const bool trayIconShown = trayAvailable() && JvTrayIcon1->isVisible();
    desktop_.setTaskBarButton(static_cast<unsigned long>(winId()), !trayIconShown);
}

void TForm1::onTabChanged(int index) {
    if (core_ != nullptr && currentTab_ >= 0) {
        core_->settings().TabSheetLeft(fromQt(PageControl1->widget(currentTab_)->objectName()));
    }
    currentTab_ = index;
    // Showing the tab discards edits that were not saved.
    if (filesTab_ && PageControl1->widget(index) == filesTab_->parentWidget()) {
        filesTab_->tsLumacorShow();
    }
}

void TForm1::Button2Click() {
    VersionHistoryDialog dialog(this);
    dialog.exec();
}

void TForm1::About1Click() {
    AboutBox about(core_->version(), this);
    about.exec();
}

} // namespace trelk
