#pragma once

#include "platform/ports/MainWindow.h"

#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>

namespace trelk {

class AppCore;
class CheckOption;
class DatabaseDownload;
class Desktop;
class FilesTab;
class KeyMapTab;
class TfmTrelkConv;
class TrelkApp;

// The main window: tab sheets, status bar, tray icon and menus. A view of AppCore; every
// handler forwards to the core.
class TForm1 final : public QWidget, public MainWindow {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 612;
    static constexpr int ClientHeight = 375;

    // hookMessages is the platform's (Platform::hookMessages): the hook library's messages
    // reach the handler the program sets on this window through it. desktop is the
    // platform's too: it keeps the window out of the task bar while the tray icon shows.
    TForm1(HookMessageReceiver& hookMessages, Desktop& desktop);
    ~TForm1() override;

    // Connects the widgets to the program. Called once, before FormCreate.
    void bind(TrelkApp& app);

    // MainWindow
    void showNormalAndActivate() override;
    void hideWindow() override;
    bool isWindowVisible() const override { return isVisible() && !isMinimized(); }
    bool ownWindowActive() const override;
    void setCaption(const std::string& caption) override;
    void setTrayHint(const std::string& hint) override;
    void setStatusText(int panel, const std::string& text) override;
    void setActiveTab(const std::string& tabSheetName) override;
    void installKeyMapMessageFilter() override;
    void removeKeyMapMessageFilter() override;
    void refreshKeyMapPanels() override;
    void flashWindow() override;
    void showDatabaseDialog() override;
    void closeDatabaseDialog() override;
    void destroyWindow() override;
    std::uint32_t windowHandle() const override;
    void setHookMessageHandler(HookMessageHandler handler) override;

    QTabWidget* PageControl1 = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QPushButton* Button2 = nullptr; // "Version History"
    QMenu* PopupMenuTrayIcon = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QToolButton* JvFormButton1 = nullptr;
    QToolButton* JvFormButtonHide = nullptr;
    QSystemTrayIcon* JvTrayIcon1 = nullptr;

    // The database download dialog while it is open, else null.
    TfmTrelkConv* databaseDialog() const;

    // The tray may not exist on this desktop; then hiding minimises instead.
    bool trayAvailable() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Before the window system maps the window: the task-bar rule is part of what it maps.
    void showEvent(QShowEvent* event) override;

private:
    void buildTabSheets();
    void buildStatusBar(QWidget* parent);
    void buildMenus();
    void buildTabContents(TrelkApp& app);
    void bindCheckAction(QAction* action, CheckOption& option);
    void Button2Click();
    void About1Click();
    void onTabChanged(int index);

    HookMessageReceiver& hookMessages_;
    Desktop& desktop_;
    AppCore* core_ = nullptr;
    int currentTab_ = -1;
    QPointer<FilesTab> filesTab_;
    // The lifecycle reaches the tab through the window; before bind() there is none yet.
    QPointer<KeyMapTab> keyMapTab_;
    DatabaseDownload* databaseDownload_ = nullptr;
    QPointer<TfmTrelkConv> databaseDialog_;
    bool closeAllowed_ = false;
};

} // namespace trelk
