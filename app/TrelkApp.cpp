#include "TrelkApp.h"

#include <functional>

namespace trelk {

namespace {

// The program's own sounds, in the application folder (made at build time).
constexpr const char* AlarmSoundFile = "Sounds/radar-alarm.wav";
constexpr const char* ShutterSoundFile = "Sounds/camera-click.wav";

} // namespace

TrelkApp::TrelkApp(Platform& platform, MainWindow& window, Prompts& prompts, AppPaths paths,
                   VersionInfo version)
    : platform_(platform), window_(window), prompts_(prompts),
      core_(platform, window, prompts, std::move(paths), std::move(version), lifecycleHooks()),
      overlay_(platform.libraryLoader(), core_.trace(), core_.paths().LibraryDir),
      sender_(platform.keyboard(), platform.eventLoop(), senderHooks()),
      keyRecord_(
          platform.sharedMemory(), core_.trace(),
          [this] { return core_.settings().values().KeyMap.KM; },
          [this] { return core_.settings().cbDebug.checked(); }),
      keyboardHook_(platform.libraryLoader(), platform.sharedMemory(), core_.trace(),
                    core_.paths().LibraryDir),
      keyMap_(core_.settings().values().KeyMap.KM, platform.keyboard(), platform.eventLoop(),
              core_.ShuttingDown()),
      dispatcher_(keyMap_, platform.keyboard(), sender_, platform.timers(), platform.clock(),
                  platform.desktop(), platform.screenCapture(), platform.fileSystem(),
                  core_.trace(), core_.settings().PhotoEnabled, core_.paths().PhotoDir,
                  core_.paths().ClearLineString, dispatcherActions()),
      slashCommands_(dispatcher_, sender_, core_.registry(),
                     SlashCommandOptions::Of(core_.settings()), pilotPosition_, core_.trace(),
                     slashCommandActions()),
      pilotLog_(platform.clock(), platform.fileSystem(), core_.settings().LogEnabled,
                core_.settings().values().Setup.LogBufSize, core_.paths().LogDir,
                std::bind_front(&TrelkApp::sendToChannel, this),
                std::bind_front(&TrelkApp::reportError, this),
                std::bind_front(&TrelkApp::trace, this)),
      logBufSettings_(pilotLog_, platform.fileSystem(), core_.paths().SettingsFile,
                      std::bind_front(&TrelkApp::reportError, this)),
      macroTable_(platform.fileSystem(), core_.paths().SettingsFile, sender_, platform.timers(),
                  dispatcher_, std::bind_front(&TrelkApp::reportDuringPlay, this)),
      commandList_(
          platform.fileSystem(), core_.paths().SettingsFile,
          std::bind_front(&TrelkApp::addLogLine, this),
          [this] { dispatcher_.ResetUserCommandIndex(); },
          std::bind_front(&TrelkApp::reportError, this)),
      dataLists_(
          platform.eventLoop(), platform.fileSystem(), core_.paths().DataDir,
          core_.paths().SettingsFile, std::bind_front(&TrelkApp::addLogLine, this),
          std::bind_front(&TrelkApp::reportError, this),
          [this] {
              return LumacorOrigin{pilotPosition_.PositionX, pilotPosition_.PositionY,
                                   pilotPosition_.PositionZ, pilotPosition_.PositionValid};
          },
          dataListsHooks()),
      consoleSink_(overlay_), consolePage_(consoleSink_, core_.trace(), consolePageHooks()),
      builtinPages_(consolePage_, builtinPageSources()),
      consoleMenu_(consoleNavigation_, consolePage_, builtinPages_, consoleMenuHooks()),
      databasePages_(consoleNavigation_, consolePage_, databasePagesHooks()),
      appearance_(overlay_, core_.trace(), sender_, consolePage_, platform.fileSystem(),
                  ConsoleOptions::Of(core_.settings()), core_.paths().ConsoleBitmapPath,
                  core_.version().versionText, appearanceHooks()),
      station_(platform.timers(), overlay_, stationHooks()),
      radar_(platform.timers(), platform.desktop(), platform.screenCapture(), platform.sound(),
             overlay_, consolePage_, core_.trace(), core_.settings().values().Scanner,
             {.DisplayMessage = core_.settings().SRadarAlarmPU,
              .PlaySound = core_.settings().SRadarAlarmWAV,
              .RepeatSound = core_.settings().SRadarAlarmRepeat},
             core_.paths().LibraryDir + AlarmSoundFile, radarHooks()),
      shutterSound_(platform.sound(), core_.paths().LibraryDir + ShutterSoundFile,
                    std::bind_front(&TrelkApp::reportDuringPlay, this)),
      addOns_(platform.userStore(), platform.timers(), consolePage_, addOnHooks()),
      addOnAutoStart_(addOns_, platform.fileSystem(), core_.paths().SettingsFile,
                      platform.desktop(), platform.keyboard(), platform.launcher(),
                      platform.timers(), addOnAutoStartHooks()),
      gameAutoStart_(core_.settings().AutoRunVL, core_.settings().values().Setup.AutoStart,
                     platform.fileSystem(), platform.desktop(), platform.keyboard(),
                     platform.launcher(), platform.timers(), gameAutoStartHooks()),
      gameExitWatcher_(core_.settings().AutoExitTRL, platform.desktop(), platform.timers(),
                       gameExitWatcherHooks()),
      httpClients_(platform.http()),
      proxy_(httpClients_, core_.settings().ProxyEnabled,
             {core_.settings().values().Setup.ProxyURL, core_.settings().values().Setup.ProxyPort},
             proxyHooks()),
      market_(platform.eventLoop(), platform.timers(), httpClients_.HTTP(), core_.ShuttingDown(),
              core_.settings().MarketEnable,
              {.MarketUpdateInterval = core_.settings().values().Setup.MarketUpdateInterval,
               .ALDWYNURL = core_.settings().values().Setup.ALDWYNURL,
               .sizes =
                   [this] {
                       const SetupSettings& setup = core_.settings().values().Setup;
                       return MarketTableSizes{.MarketTypes = setup.NumOfMarketTypes,
                                               .ItemTypes = setup.NumOfItemTypes,
                                               .MarketSectors = setup.NumOfMarketSectors};
                   }},
              consoleNavigation_, consolePage_, marketHooks()),
      databaseDownload_(platform.eventLoop(), platform.timers(), platform.fileSystem(),
                        httpClients_, core_.ShuttingDown(), core_.paths().DataDir,
                        {.DatabaseURL = core_.settings().values().Setup.DatabaseURL,
                         .TrkDate = core_.settings().values().Setup.TrkDate},
                        databaseDownloadHooks()),
      updateCheck_(platform.eventLoop(), httpClients_.HTTP2(), core_.ShuttingDown(),
                   core_.version(),
                   {.DBDateURL = core_.settings().values().Setup.DBDateURL,
                    .TrelkVersionURL = core_.settings().values().Setup.TrelkVersionURL,
                    .TrkDate = core_.settings().values().Setup.TrkDate,
                    .InstallCode = core_.settings().values().Setup.InstallCode},
                   updateCheckHooks()),
      urlList_(platform.fileSystem(), core_.paths().AppDir + UrlList::FileName, urlListHooks()),
      webBrowser_(platform.webView(), platform.timers(), core_.ShuttingDown(), webBrowserHooks()) {
    window_.setHookMessageHandler([this](std::uint32_t virtualKey, std::uint32_t flags) {
        dispatcher_.HandleHookKey(virtualKey, flags);
    });
    // Said once, during play: the status bar and the log.
    platform_.sound().setUnavailableHandler(std::bind_front(&TrelkApp::reportDuringPlay, this));
}

TrelkApp::~TrelkApp() {
    window_.setHookMessageHandler({});
    core_.FormDestroy();
    platform_.sound().setUnavailableHandler({});
}

std::vector<std::string> TrelkApp::UnsetHookSlots() const {
    std::vector<std::string> unset;
    AppendUnsetSlots(unset, core_.hooks());
    AppendUnsetSlots(unset, sender_.hooks());
    AppendUnsetSlots(unset, dispatcher_.hooks());
    AppendUnsetSlots(unset, slashCommands_.hooks());
    AppendUnsetSlots(unset, dataLists_.hooks());
    AppendUnsetSlots(unset, consolePage_.hooks());
    AppendUnsetSlots(unset, builtinPages_.hooks());
    AppendUnsetSlots(unset, consoleMenu_.hooks());
    AppendUnsetSlots(unset, databasePages_.hooks());
    AppendUnsetSlots(unset, appearance_.hooks());
    AppendUnsetSlots(unset, station_.hooks());
    AppendUnsetSlots(unset, radar_.hooks());
    AppendUnsetSlots(unset, addOns_.hooks());
    AppendUnsetSlots(unset, addOnAutoStart_.hooks());
    AppendUnsetSlots(unset, gameAutoStart_.hooks());
    AppendUnsetSlots(unset, gameExitWatcher_.hooks());
    AppendUnsetSlots(unset, proxy_.hooks());
    AppendUnsetSlots(unset, market_.hooks());
    AppendUnsetSlots(unset, databaseDownload_.hooks());
    AppendUnsetSlots(unset, updateCheck_.hooks());
    AppendUnsetSlots(unset, urlList_.hooks());
    AppendUnsetSlots(unset, webBrowser_.hooks());
    return unset;
}

LifecycleHooks TrelkApp::lifecycleHooks() {
    return {
        // FormCreate
        .createAddOnLists = [this] { addOns_.ClearList(); },
        .installMessageFilter = [this] { window_.installKeyMapMessageFilter(); },
        .resetRadarOffsets = [this] { radar_.ResetRadarOffsets(); },
        // The game watcher runs from here on, before the settings tick its box or not.
        .resetRunTimeState =
            [this] {
                dispatcher_.ResetRunTimeState();
                pilotPosition_.Reset();
                gameAutoStart_.Reset();
                gameExitWatcher_.Start();
            },
        .loadMacros = [this] { macroTable_.LoadMacros(); },
        .loadOverlayLibrary = [this] { return overlay_.LoadOverlayLibrary(); },
        .createKeyRecord = [this] { keyRecord_.CreateKeyRecord(); },
        // The debug option traces its own line before it calls the library.
        .setOverlayDebugMode =
            [this](bool on) { overlay_.NexaCSetDebugMode(on, TraceAs::Silent()); },
        .writeKeyRecord = [this] { keyRecord_.WriteKeyRecord(); },
        // "Auto Update" unticked: no check at start-up; "Update" and "//getroid" still check.
        .startDatabaseUpdateCheck =
            [this] {
                if (core_.settings().DBAutoUpdate.checked()) {
                    updateCheck_.StartUpdateCheck();
                }
            },
        .openDatabaseDownload = [this] { databaseDownload_.RetrieveDatabase(); },
        .pointFileListAtDataDir = [this] { dataLists_.RefreshDataDirFiles(); },
        .applyAutoStart = [this] { gameAutoStart_.ApplyAutoStart(); },
        .restoreDataLists = [this] { dataLists_.RestoreDataLists(); },
        .restoreCommandList = [this] { commandList_.Load(); },
        // The lists read the database a download at start-up is writing once it is written.
        .startDataListWorker =
            [this] {
                databaseDownload_.WhenDownloadEnds([this] { dataLists_.StartDataListWorker(); });
            },
        .initConsoleOverlay =
            [this] {
                appearance_.InitConsoleOverlay();
                // The library is bound now, so the docked question has an answer.
                station_.Start();
            },
        .resetMenu = [this] { consoleMenu_.ResetMenu(); },
        .installKeyboardHook =
            [this] { return keyboardHook_.SetKeyBoardHook(window_.windowHandle()); },
        .startAddOns =
            [this] {
                addOns_.Start();
                addOnAutoStart_.Start();
            },
        .loadUrlList =
            [this] {
                urlList_.LoadList();
                urlList_.SetDropTarget(true);
            },
        // LoadSettings
        .applyConsoleSpinControls = [this] { appearance_.ApplyConsoleSpinControls(); },
        .applyColoursFontAndDate =
            [this] {
                appearance_.ApplyColoursAndFont();
                databaseDownload_.ShowTrkDate();
            },
        .applyKeyMapPanels = [this] { window_.refreshKeyMapPanels(); },
        .applyScanTarget = [this] { radar_.ApplyLoadedSettings(); },
        .applyProxyToHttpClients = [this] { proxy_.ApplyToHttpClients(); },
        .loadAlarmSound = [this] { radar_.LoadAlarmSound(); },
        // FormCloseQuery: before the library goes, for unbound it would answer "in flight" and
        // log a false change.
        .stopStationAndRadarTimers =
            [this] {
                station_.Stop();
                radar_.Stop();
            },
        // FormClose
        .disconnectHttpClients = [this] { httpClients_.DisconnectMainClients(); },
        // The poll stops before "TrelkProStartUp" becomes 0, which it would put back.
        .stopWorkers =
            [this] {
                station_.Stop();
                radar_.Stop();
                dataLists_.StopDataListWorker();
                market_.StopWorkers();
                updateCheck_.StopWorker();
                databaseDownload_.StopWorker();
                addOns_.Stop();
                addOnAutoStart_.Stop();
                gameAutoStart_.Stop();
                gameExitWatcher_.Stop();
                webBrowser_.Stop();
            },
        // FormDestroy
        .unregisterLinkDropTarget = [this] { urlList_.SetDropTarget(false); },
        .hookOff = [this] { keyboardHook_.HookOff(); },
        .closeKeyRecord = [this] { keyRecord_.CloseKeyRecord(); },
        .hideConsoleAndFreeOverlay =
            [this] {
                overlay_.FreeOverlayLibrary([this] { consolePage_.SetBackground(QImage()); });
            },
        .freeHookLibrary = [this] { keyboardHook_.FreeHookLibrary(); },
        .closeHookMapping = [this] { keyboardHook_.CloseHookMapping(); },
        .freeAddOnLists =
            [this] {
                addOns_.Stop();
                addOns_.ClearList();
            },
        .removeMessageFilter = [this] { window_.removeKeyMapMessageFilter(); },
    };
}

KeyStringSender::Hooks TrelkApp::senderHooks() {
    // Every injection ends the Macro HotKey's arming and any entry still awaiting Enter.
    // Characters the keyboard layout cannot type are said during play: the status bar and the
    // log.
    return {.onSendKeyString = [this] { dispatcher_.DisarmMacroKey(); },
            .onSendToChannel = [this] { dispatcher_.SetEntrySent(false); },
            .reportLeftOut = std::bind_front(&TrelkApp::reportDuringPlay, this)};
}

DispatcherActions TrelkApp::dispatcherActions() {
    return {
        .ShowConsole = [this] { consolePage_.ShowConsole(); },
        .HideConsole = [this] { consolePage_.HideConsole(); },
        .ConsoleVisible = [this] { return consolePage_.ConsoleVisible(); },
        .ResetMenu = [this] { consoleMenu_.ResetMenu(); },
        .ChangeLevel = [this](bool up) { consoleMenu_.ChangeLevel(up); },
        .ListStep = [this](bool up) { consoleMenu_.ListStep(up); },
        .ListPage = [this](bool up) { consoleMenu_.ListPage(up); },
        .ScrollText = [this](bool left) { consoleMenu_.ScrollText(left); },
        .CurrentLevelSelection = [this] { return consoleMenu_.CurrentLevelSelection(); },
        .NextEntryStep = [this](bool backwards) { databasePages_.NextEntry(backwards); },
        .MarkSentEntry = [this] { databasePages_.MarkSentEntry(); },
        .EntrySendMode = [this] { return databasePages_.EntrySendMode(); },
        .InfoMode = [this] { return databasePages_.InfoMode(); },
        .SetEntryIndex = [this](int index) { databasePages_.SetEntryIndex(index); },
        .AddonPageActive = [this] { return consolePage_.AddonPageActive(); },
        .AddonHoldsUpLevel = [this] { return addOns_.HoldsUpLevel(); },
        .HandBackUpLevel = [this] { addOns_.HandUpLevelToAddon(); },
        .AddonDownLevelFollowUp = [this] { addOns_.TypeHighlightedEntry(); },
        .PlayMacro = [this](int n) { macroTable_.PlayMacro(n); },
        .ToggleScan = [this] { radar_.ToggleScan(); },
        .StopAlarmRepeat = [this] { radar_.StopAlarmRepeat(); },
        .Docked = [this] { return station_.Docked(); },
        .ExecuteSlashCommand =
            [this](const std::string& line) { slashCommands_.ExecuteSlashCommand(line); },
        // The dispatcher traced it.
        .NexaCChannelF5Active = [this] { overlay_.NexaCChannelF5Active(TraceAs::Silent()); },
        .UserCommandList = [this] { return commandList_.SteppingList(); },
        .AddLogLine = std::bind_front(&TrelkApp::addLogLine, this),
        .DeleteCurrentLogEntry = [this] { pilotLog_.DeleteCurrentLogEntry(); },
        .LogListEmpty = [this] { return pilotLog_.Lines().empty(); },
        .WriteInterfaceValue = std::bind_front(&TrelkApp::writeInterfaceValue, this),
        .reportError = std::bind_front(&TrelkApp::reportError, this),
        .playShortSound = [this] { shutterSound_.Play(); },
    };
}

SlashCommandActions TrelkApp::slashCommandActions() {
    return {
        .SelectedConsoleEntry = [this] { return consolePage_.Lines().TextAt(currentSelection()); },
        .FormatDflr = std::bind_front(&TrelkApp::formatDflr, this),
        .SaveDataLists = [this] { dataLists_.SaveDataLists(); },
        .LoadSelectedDataList =
            [this] { dataLists_.LoadDataList(core_.settings().values().DataList.LoadData); },
        .ResetEntryCodes = [this] { databasePages_.ResetEntryCodes(); },
        .SwitchGameAutoStart = [this](bool on) { gameAutoStart_.SetFromCommand(on); },
        .SwitchGameAutoExit = [this](bool on) { gameExitWatcher_.SetAutoExit(on); },
        .StartMarketLoad = [this] { market_.StartMarketLoad(); },
        .ForceDatabaseUpdateCheck = [this] { updateCheck_.ForceUpdateCheck(); },
        // The command traces its own line.
        .NexaCSetShowTimeString =
            [this](bool on) { overlay_.NexaCSetShowTimeString(on, TraceAs::Silent()); },
        .ToggleHeadLights = [this] { appearance_.HeadLights.click(); },
        .ConsoleWide = [this] { return consolePage_.WideMode(); },
        .ShowPilotWebView = [this] { consoleMenu_.ShowPilotWebView(); },
        .SetPilotUrlRow = [this](const std::string& address) { urlList_.SetPilotUrl(address); },
        .LoadPilotWebPage =
            [this](const std::string& address) {
                consoleMenu_.LoadPilotWebPage(address);
                consolePage_.ShowConsole();
            },
        .ReportError = std::bind_front(&TrelkApp::reportError, this),
    };
}

DataLists::Hooks TrelkApp::dataListsHooks() {
    return {.listRebuilt = [this](int kind) { databasePages_.ListRebuilt(kind); },
            .setDflrStatus =
                [this](const std::string& text) {
                    consolePage_.SetPageStatus(text);
                    consolePage_.SelectLine(currentSelection());
                },
            .shuttingDown = [this] { return core_.ShuttingDown().load(); }};
}

ConsolePage::Hooks TrelkApp::consolePageHooks() {
    return {.appearance = [this] { return appearance_.Appearance(); },
            .setConsoleShownFlag = [this](bool shown) { keyRecord_.SetConsoleShownFlag(shown); },
            .docked = [this] { return station_.Docked(); },
            .inStationRefresh = [this] { appearance_.InStationRefresh(); },
            .rendered = [this](const QImage& picture) { appearance_.Rendered(picture); }};
}

BuiltinPages::Sources TrelkApp::builtinPageSources() {
    return {
        .stopWebView = [this] { consoleMenu_.StopWebView(); },
        .addonNames = [this] { return addOns_.Names(); },
        .logLines = [this] { return &pilotLog_.Lines(); },
        .loggingOn = [this] { return core_.settings().LogEnabled.checked(); },
        .radar =
            [this] {
                SettingsController& settings = core_.settings();
                return RadarOptions{.Scanning = radar_.Scanning(),
                                    .TargetCode = radar_.TargetCode(),
                                    .PlaySound = settings.SRadarAlarmWAV.checked(),
                                    .RepeatSound = settings.SRadarAlarmRepeat.checked(),
                                    .DisplayMessage = settings.SRadarAlarmPU.checked()};
            },
        .tickTarget = [this](int code) { radar_.SetTargetCode(code); },
        .pageCaptions = [this] { return urlList_.Captions(); },
        .browserBusy = [this] { return webBrowser_.Busy(); },
    };
}

ConsoleMenu::Hooks TrelkApp::consoleMenuHooks() {
    return {
        .selectDatabase = [this](int mode) { return databasePages_.SelectDatabase(mode); },
        .databaseLevel = [this](bool up) { databasePages_.DatabaseLevel(up); },
        .resetDatabasePositions = [this] { databasePages_.ResetPositions(); },
        .formatDflr = std::bind_front(&TrelkApp::formatDflr, this),
        .marketPage = [this](int page, bool up) { market_.MarketPage(page, up); },
        .marketEnabled = [this] { return market_.MarketEnabled(); },
        .marketLoaded = [this] { return market_.MarketLoaded(); },
        .addonNames = [this] { return addOns_.Names(); },
        .writeActiveAddon =
            [this](const std::string& name) {
                writeInterfaceValue("ActiveAddon", name);
                addOns_.ActiveAddonWritten(name);
            },
        .webPageUrls = [this] { return urlList_.Urls(); },
        .browserBusyTimer = [this](bool run) { webBrowser_.SetBusy(run); },
        .browserNavigate = [this](const std::string& url) { webBrowser_.Navigate(url); },
        .browserHasDocument = [this] { return webBrowser_.HasDocument(); },
        .scrollWebPage = [this](int dx, int dy) { webBrowser_.ScrollBy(dx, dy); },
        .initConsoleOverlay = [this] { appearance_.InitConsoleOverlay(); },
        .toggleScanning = [this] { radar_.ToggleScan(); },
        .scanTarget = [this] { return radar_.TargetCode(); },
        .setScanTarget = [this](int code) { radar_.SetTargetCode(code); },
        .togglePlaySound = [this] { core_.settings().SRadarAlarmWAV.click(); },
        .toggleRepeatSound = [this] { core_.settings().SRadarAlarmRepeat.click(); },
        .toggleDisplayMessage = [this] { core_.settings().SRadarAlarmPU.click(); },
    };
}

DatabasePages::Hooks TrelkApp::databasePagesHooks() {
    return {.changeLevel = [this](bool up) { consoleMenu_.ChangeLevel(up); },
            .listStep = [this](bool up) { consoleMenu_.ListStep(up); },
            .showModeList = [this] { consoleMenu_.ShowModeList(); },
            .hideConsole = [this] { consolePage_.HideConsole(); },
            .sendToChannel = std::bind_front(&TrelkApp::sendToChannel, this),
            .formatDflr = std::bind_front(&TrelkApp::formatDflr, this),
            .setEntrySent = [this](bool sent) { dispatcher_.SetEntrySent(sent); },
            .list = [this](int kind) { return dataLists_.List(kind); }};
}

ConsoleAppearance::Hooks TrelkApp::appearanceHooks() {
    return {.docked = [this] { return station_.Docked(); },
            .clearChannelF5Pending = [this] { dispatcher_.ClearChannelF5Pending(); },
            .reportError = std::bind_front(&TrelkApp::reportDuringPlay, this)};
}

StationDetection::Hooks TrelkApp::stationHooks() {
    return {.addLogLine = std::bind_front(&TrelkApp::addLogLine, this),
            .setConsoleOpacity = [this](int opacity) { appearance_.SetConsoleOpacity(opacity); },
            .inFlightOpacity = [this] { return appearance_.InFlightOpacity(); },
            .renderConsole = [this] { consolePage_.RenderConsole(); }};
}

RadarScanner::Hooks TrelkApp::radarHooks() {
    return {.addLogLine = std::bind_front(&TrelkApp::addLogLine, this),
            .reportDuringPlay = std::bind_front(&TrelkApp::reportDuringPlay, this)};
}

AddOnModules::Hooks TrelkApp::addOnHooks() {
    return {
        .addonListShown = [this] { return consoleMenu_.AddonListShown(); },
        .redrawAddonList = [this] { consoleMenu_.RedrawAddonList(); },
        .resetMenu = [this] { consoleMenu_.ResetMenu(); },
        .popupRequest = [this] { consoleMenu_.PopupRequest(); },
        .popupOff = [this] { consoleMenu_.PopupOff(); },
        .showConsole = [this] { consolePage_.ShowConsole(); },
        .hideConsole = [this] { consolePage_.HideConsole(); },
        .setWideConsole = [this](bool on) { core_.settings().WideConsole.setChecked(on); },
        .sendToChannel = std::bind_front(&TrelkApp::sendToChannel, this),
        .reportDuringPlay = std::bind_front(&TrelkApp::reportDuringPlay, this),
    };
}

AddOnAutoStart::Hooks TrelkApp::addOnAutoStartHooks() {
    return {.addLogLine = std::bind_front(&TrelkApp::addLogLine, this),
            .reportDuringPlay = std::bind_front(&TrelkApp::reportDuringPlay, this),
            .reportError = std::bind_front(&TrelkApp::reportError, this)};
}

GameAutoStart::Hooks TrelkApp::gameAutoStartHooks() {
    return {.addOnStartDone = [this] { return addOnAutoStart_.StartDone(); },
            .addLogLine = std::bind_front(&TrelkApp::addLogLine, this),
            .reportDuringPlay = std::bind_front(&TrelkApp::reportDuringPlay, this),
            .ownWindowActive = [this] { return window_.ownWindowActive(); },
            .chooseFile =
                [this](const FileChoice& choice) { return prompts_.chooseFileToOpen(choice); },
            .saveStartFile = [this] { return core_.settings().SaveGameStartFileKey(); }};
}

GameExitWatcher::Hooks TrelkApp::gameExitWatcherHooks() {
    return {.addLogLine = std::bind_front(&TrelkApp::addLogLine, this),
            .debugOff = [this] { return core_.DebugOff(); },
            // Hidden once: a window without a tray is minimised, and minimising it again each
            // second would fight the pilot.
            .hideMainWindow =
                [this] {
                    if (window_.isWindowVisible()) {
                        core_.Hide1Click();
                    }
                },
            .closeFromGameExit = [this] { core_.CloseFromGameExit(); }};
}

ProxySettings::Hooks TrelkApp::proxyHooks() {
    return {.writeInterfaceValue = std::bind_front(&TrelkApp::writeInterfaceValue, this),
            .saveProxyKeys = [this] { return core_.settings().SaveProxyKeys(); }};
}

MarketData::Hooks TrelkApp::marketHooks() {
    return {.setStatusText = [this](const std::string& text) { window_.setStatusText(1, text); },
            .setTrayHint = [this](const std::string& hint) { window_.setTrayHint(hint); },
            .caption = [this] { return core_.version().caption(); },
            .addLogLine = std::bind_front(&TrelkApp::addLogLine, this),
            .writeInterfaceValue = std::bind_front(&TrelkApp::writeInterfaceValue, this),
            .trace = std::bind_front(&TrelkApp::trace, this)};
}

UrlList::Hooks TrelkApp::urlListHooks() {
    return {.addLogLine = std::bind_front(&TrelkApp::addLogLine, this),
            .reportError = std::bind_front(&TrelkApp::reportError, this)};
}

WebBrowser::Hooks TrelkApp::webBrowserHooks() {
    return {
        .urlListEmpty = [this] { return urlList_.Rows().empty(); },
        .webViewActive = [this] { return consoleNavigation_.WebViewActive; },
        .consoleVisible = [this] { return consolePage_.ConsoleVisible(); },
        .pushCapturedBitmap =
            [this](const QImage& capture) {
                appearance_.Rendered(capture);
                consolePage_.PushCapturedBitmap(capture);
            },
        .inStationRefresh = [this] { appearance_.InStationRefresh(); },
        .redrawPageList =
            [this] { builtinPages_.PageListPage(LevelSlot(consoleNavigation_.LevelSelection, 1)); },
        .reportDuringPlay = std::bind_front(&TrelkApp::reportDuringPlay, this),
    };
}

DatabaseDownload::Hooks TrelkApp::databaseDownloadHooks() {
    return {.setStatusText = [this](const std::string& text) { window_.setStatusText(1, text); },
            .showDialog = [this] { window_.showDatabaseDialog(); },
            .closeDialog = [this] { window_.closeDatabaseDialog(); },
            .saveTrkDate = [this] { return core_.settings().SaveTrkDate(); },
            .addLogLine = std::bind_front(&TrelkApp::addLogLine, this),
            .trace = std::bind_front(&TrelkApp::trace, this)};
}

UpdateCheck::Hooks TrelkApp::updateCheckHooks() {
    return {.setStatusText = [this](const std::string& text) { window_.setStatusText(1, text); },
            .setCaption = [this](const std::string& caption) { window_.setCaption(caption); },
            .flashWindow = [this] { window_.flashWindow(); },
            .confirm = [this](const std::string& question) { return prompts_.confirm(question); },
            .retrieveDatabase =
                [this](std::function<void()> then) {
                    databaseDownload_.RetrieveDatabase(std::move(then));
                },
            .trace = std::bind_front(&TrelkApp::trace, this)};
}

void TrelkApp::reportError(const std::string& message) {
    if (window_.ownWindowActive()) {
        prompts_.showError(message);
    } else {
        reportDuringPlay(message);
    }
}

void TrelkApp::reportDuringPlay(const std::string& message) {
    window_.setStatusText(1, message);
    pilotLog_.AddLogLine(message);
}

void TrelkApp::addLogLine(const std::string& line) {
    pilotLog_.AddLogLine(line);
}

void TrelkApp::trace(const std::string& line) {
    core_.trace().Trace(line);
}

void TrelkApp::sendToChannel(const std::string& text, bool clearFirst, int channel) {
    sender_.SendToChannel(text, clearFirst, channel);
}

void TrelkApp::writeInterfaceValue(const std::string& name, const std::string& value) {
    core_.registry().WriteInterfaceValue(name, value);
    addOns_.StoreWritten();
}

std::string TrelkApp::formatDflr(const std::string& entry) {
    return dataLists_.FormatDflr(entry);
}

std::int32_t TrelkApp::currentSelection() {
    return LevelSlot(consoleNavigation_.LevelSelection, consoleNavigation_.CurrentLevel);
}

} // namespace trelk
