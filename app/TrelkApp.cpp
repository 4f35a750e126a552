#include "TrelkApp.h"

namespace trelk {

TrelkApp::TrelkApp(Platform& platform, MainWindow& window, Prompts& prompts, AppPaths paths,
                   VersionInfo version)
    : platform_(platform), window_(window), prompts_(prompts),
      core_(platform, window, prompts, std::move(paths), std::move(version)),
      overlay_(platform.libraryLoader(), core_.trace(), core_.paths().LibraryDir),
      sender_(platform.keyboard(), platform.eventLoop()),
      keyRecord_(
          platform.sharedMemory(), core_.trace(),
          [this] { return core_.settings().values().KeyMap.KM; },
          [this] { return core_.settings().cbDebug.checked(); }),
      keyboardHook_(platform.libraryLoader(), platform.sharedMemory(), core_.trace(),
                    core_.paths().LibraryDir),
      keyMap_(core_.settings().values().KeyMap.KM, platform.keyboard(), platform.eventLoop(),
              core_.ShuttingDown),
      dispatcher_(keyMap_, platform.keyboard(), sender_, platform.timers(), platform.clock(),
                  platform.screenCapture(), core_.trace(), core_.settings().PhotoEnabled,
                  core_.paths().PhotoDir, core_.paths().ClearLineString),
      slashCommands_(dispatcher_, sender_, core_.registry(),
                     SlashCommandOptions::Of(core_.settings()), pilotPosition_, core_.trace()),
      pilotLog_(
          platform.clock(), core_.settings().LogEnabled, core_.settings().values().Setup.LogBufSize,
          core_.paths().LogDir,
          [this](const std::string& text, bool clearFirst, int channel) {
              sender_.SendToChannel(text, clearFirst, channel);
          },
          [this](const std::string& message) { prompts_.showError(message); },
          [this](const std::string& line) { core_.trace().Trace(line); }),
      logBufSettings_(pilotLog_, core_.paths().SettingsFile,
                      [this](const std::string& message) { prompts_.showError(message); }),
      macroTable_(core_.paths().SettingsFile, sender_, platform.timers(),
                  MacroKeyFlags::Of(dispatcher_),
                  // Said during play: the status bar and the log, never a box that would take
                  // the focus from the game.
                  [this](const std::string& message) {
                      window_.setStatusText(1, message);
                      pilotLog_.AddLogLine(message);
                  }),
      commandList_(
          core_.paths().SettingsFile,
          [this](const std::string& line) { pilotLog_.AddLogLine(line); },
          [this] { dispatcher_.UserCmdIndex = 1; },
          [this](const std::string& message) { prompts_.showError(message); }),
      dataLists_(
          platform.eventLoop(), core_.paths().DataDir, core_.paths().SettingsFile,
          [this](const std::string& line) { pilotLog_.AddLogLine(line); },
          [this](const std::string& message) { prompts_.showError(message); },
          [this] {
              return LumacorOrigin{pilotPosition_.PositionX, pilotPosition_.PositionY,
                                   pilotPosition_.PositionZ, pilotPosition_.PositionValid};
          }),
      consoleSink_(overlay_), consolePage_(consoleSink_, core_.trace(), consolePageHooks()),
      builtinPages_(consolePage_, builtinPageSources()),
      consoleMenu_(consoleNavigation_, consolePage_, builtinPages_, consoleMenuHooks()),
      databasePages_(consoleNavigation_, consolePage_, databasePagesHooks()),
      appearance_(overlay_, core_.trace(), sender_, consolePage_,
                  ConsoleOptions::Of(core_.settings()), core_.paths().ConsoleBitmapPath,
                  core_.version().versionText,
                  {.docked = [this] { return station_.Docked(); },
                   .clearChannelF5Pending = [this] { dispatcher_.ChannelF5Pending = false; },
                   // Said during play: the status bar and the log, never a box that would
                   // take the focus from the game.
                   .reportError =
                       [this](const std::string& message) {
                           window_.setStatusText(1, message);
                           pilotLog_.AddLogLine(message);
                       }}),
      station_(
          platform.timers(), overlay_,
          {.addLogLine = [this](const std::string& line) { pilotLog_.AddLogLine(line); },
           .setConsoleOpacity = [this](int opacity) { appearance_.SetConsoleOpacity(opacity); },
           .inFlightOpacity = [this] { return appearance_.InFlightOpacity(); },
           .renderConsole = [this] { consolePage_.RenderConsole(); }}) {
    wireLifecycle();
    wireDispatcher();
    wireConsole();
    wireSlashCommands();
    window_.setHookMessageHandler([this](std::uint32_t virtualKey, std::uint32_t flags) {
        dispatcher_.HandleHookKey(virtualKey, flags);
    });
}

TrelkApp::~TrelkApp() {
    window_.setHookMessageHandler({});
    core_.FormDestroy();
}

void TrelkApp::wireLifecycle() {
    LifecycleHooks& hooks = core_.hooks();
    hooks.resetRunTimeState = [this] {
        dispatcher_.ResetRunTimeState();
        pilotPosition_.Reset();
    };
    hooks.loadMacros = [this] { macroTable_.LoadMacros(); };
    hooks.loadOverlayLibrary = [this] { return overlay_.LoadOverlayLibrary(); };
    // The debug option traces its own line before it calls the library.
    hooks.setOverlayDebugMode = [this](bool on) {
        overlay_.NexaCSetDebugMode(on, TraceAs::Silent());
    };
    hooks.hideConsoleAndFreeOverlay = [this] {
        overlay_.FreeOverlayLibrary([this] { consolePage_.SetBackground(QImage()); });
    };
    hooks.applyConsoleSpinControls = [this] { appearance_.ApplyConsoleSpinControls(); };
    hooks.applyColoursFontAndDate = [this] { appearance_.ApplyColoursAndFont(); };
    hooks.initConsoleOverlay = [this] {
        appearance_.InitConsoleOverlay();
        // The library is bound now, so the docked question has an answer.
        station_.Start();
    };
    hooks.resetMenu = [this] { consoleMenu_.ResetMenu(); };
    // Before the library goes: unbound, it would answer "in flight" and log a false change.
    hooks.stopStationAndRadarTimers = [this] { station_.Stop(); };
    hooks.stopWorkers = [this] { station_.Stop(); };
    hooks.pointFileListAtDataDir = [this] { dataLists_.RefreshDataDirFiles(); };
    hooks.restoreDataLists = [this] { dataLists_.RestoreDataLists(); };
    hooks.startDataListWorker = [this] { dataLists_.StartDataListWorker(); };
    hooks.createKeyRecord = [this] { keyRecord_.CreateKeyRecord(); };
    hooks.writeKeyRecord = [this] { keyRecord_.WriteKeyRecord(); };
    hooks.restoreCommandList = [this] { commandList_.Load(); };
    hooks.installKeyboardHook = [this] {
        return keyboardHook_.SetKeyBoardHook(window_.windowHandle());
    };
    hooks.hookOff = [this] { keyboardHook_.HookOff(); };
    hooks.closeKeyRecord = [this] { keyRecord_.CloseKeyRecord(); };
    hooks.freeHookLibrary = [this] { keyboardHook_.FreeHookLibrary(); };
    hooks.closeHookMapping = [this] { keyboardHook_.CloseHookMapping(); };
}

void TrelkApp::wireDispatcher() {
    // The dispatcher connected itself to the sender (MacroKeyArmed, EntrySent).
    DispatcherActions& actions = dispatcher_.Actions;
    actions.AddLogLine = [this](const std::string& line) { pilotLog_.AddLogLine(line); };
    actions.DeleteCurrentLogEntry = [this] { pilotLog_.DeleteCurrentLogEntry(); };
    actions.LogListEmpty = [this] { return pilotLog_.Lines().empty(); };
    actions.UserCommandList = [this] { return commandList_.SteppingList(); };
    actions.PlayMacro = [this](int n) { macroTable_.PlayMacro(n); };
    actions.ExecuteSlashCommand = [this](const std::string& line) {
        slashCommands_.ExecuteSlashCommand(line);
    };
    actions.WriteInterfaceValue = [this](const std::string& name, const std::string& value) {
        core_.registry().WriteInterfaceValue(name, value);
    };
    actions.reportError = [this](const std::string& message) { prompts_.showError(message); };

    actions.ShowConsole = [this] { consolePage_.ShowConsole(); };
    actions.HideConsole = [this] { consolePage_.HideConsole(); };
    actions.ConsoleVisible = [this] { return consolePage_.ConsoleVisible(); };
    actions.ResetMenu = [this] { consoleMenu_.ResetMenu(); };
    actions.ChangeLevel = [this](bool up) { consoleMenu_.ChangeLevel(up); };
    actions.ListStep = [this](bool up) { consoleMenu_.ListStep(up); };
    actions.ListPage = [this](bool up) { consoleMenu_.ListPage(up); };
    actions.ScrollText = [this](bool left) { consoleMenu_.ScrollText(left); };
    actions.CurrentLevelSelection = [this] { return consoleMenu_.CurrentLevelSelection(); };
    actions.NextEntryStep = [this](bool backwards) { databasePages_.NextEntry(backwards); };
    actions.MarkSentEntry = [this] { databasePages_.MarkSentEntry(); };
    actions.EntrySendMode = [this] { return databasePages_.EntrySendMode(); };
    actions.InfoMode = [this] { return databasePages_.InfoMode(); };
    actions.SetEntryIndex = [this](int index) { databasePages_.SetEntryIndex(index); };
    actions.Docked = [this] { return station_.Docked(); };
    actions.NexaCChannelF5Active = [this] {
        overlay_.NexaCChannelF5Active(TraceAs::Silent()); // the dispatcher traced it
    };
}

void TrelkApp::wireSlashCommands() {
    SlashCommandActions& commands = slashCommands_.Actions;
    commands.ReportError = [this](const std::string& message) { prompts_.showError(message); };
    commands.SelectedConsoleEntry = [this] {
        return consolePage_.Lines().TextAt(
            LevelSlot(consoleNavigation_.LevelSelection, consoleNavigation_.CurrentLevel));
    };
    commands.FormatDflr = [this](const std::string& entry) { return dataLists_.FormatDflr(entry); };
    commands.SaveDataLists = [this] { dataLists_.SaveDataLists(); };
    commands.LoadSelectedDataList = [this] {
        dataLists_.LoadDataList(core_.settings().values().DataList.LoadData);
    };
    commands.ResetEntryCodes = [this] { databasePages_.ResetEntryCodes(); };
    // The command traces its own line.
    commands.NexaCSetShowTimeString = [this](bool on) {
        overlay_.NexaCSetShowTimeString(on, TraceAs::Silent());
    };
    commands.ToggleHeadLights = [this] { appearance_.HeadLights.click(); };
    commands.ConsoleWide = [this] { return consolePage_.WideMode(); };
}

void TrelkApp::wireConsole() {
    dataLists_.ResetBrowsing = [this] { databasePages_.ResetBrowsing(); };
    dataLists_.SetDflrStatus = [this](const std::string& text) {
        consolePage_.SetPageStatus(text);
        consolePage_.SelectLine(
            LevelSlot(consoleNavigation_.LevelSelection, consoleNavigation_.CurrentLevel));
    };
}

ConsolePage::Hooks TrelkApp::consolePageHooks() {
    return {.appearance = [this] { return appearance_.Appearance(); },
            .setConsoleShownFlag = [this](bool shown) { keyRecord_.SetConsoleShownFlag(shown); },
            .docked = [this] { return station_.Docked(); },
            .inStationRefresh = [this] { appearance_.InStationRefresh(); },
            .rendered = [this](const QImage& picture) { appearance_.Rendered(picture); }};
}

BuiltinPages::Sources TrelkApp::builtinPageSources() {
    BuiltinPages::Sources sources;
    sources.stopWebView = [this] { consoleMenu_.StopWebView(); };
    sources.logLines = [this] { return &pilotLog_.Lines(); };
    sources.loggingOn = [this] { return core_.settings().LogEnabled.checked(); };
    sources.radar = [this] {
        SettingsController& settings = core_.settings();
        return RadarOptions{.Scanning = false, // the radar scan is not built in yet
                            .TargetCode = settings.values().Scanner.ScanColor,
                            .PlaySound = settings.SRadarAlarmWAV.checked(),
                            .RepeatSound = settings.SRadarAlarmRepeat.checked(),
                            .DisplayMessage = settings.SRadarAlarmPU.checked()};
    };
    return sources;
}

ConsoleMenu::Hooks TrelkApp::consoleMenuHooks() {
    ConsoleMenu::Hooks hooks;
    hooks.selectDatabase = [this](int mode) { return databasePages_.SelectDatabase(mode); };
    hooks.databaseLevel = [this](bool up) { databasePages_.DatabaseLevel(up); };
    hooks.resetDatabasePositions = [this] { databasePages_.ResetPositions(); };
    hooks.formatDflr = [this](const std::string& entry) { return dataLists_.FormatDflr(entry); };
    hooks.initConsoleOverlay = [this] { appearance_.InitConsoleOverlay(); };
    hooks.writeActiveAddon = [this](const std::string& name) {
        core_.registry().WriteInterfaceValue("ActiveAddon", name);
    };
    hooks.scanTarget = [this] { return core_.settings().values().Scanner.ScanColor; };
    hooks.setScanTarget = [this](int code) { core_.settings().values().Scanner.ScanColor = code; };
    hooks.togglePlaySound = [this] { core_.settings().SRadarAlarmWAV.click(); };
    hooks.toggleRepeatSound = [this] { core_.settings().SRadarAlarmRepeat.click(); };
    hooks.toggleDisplayMessage = [this] { core_.settings().SRadarAlarmPU.click(); };
    return hooks;
}

DatabasePages::Hooks TrelkApp::databasePagesHooks() {
    return {
        .changeLevel = [this](bool up) { consoleMenu_.ChangeLevel(up); },
        .listStep = [this](bool up) { consoleMenu_.ListStep(up); },
        .showModeList = [this] { consoleMenu_.ShowModeList(); },
        .hideConsole = [this] { consolePage_.HideConsole(); },
        .sendToChannel = [this](const std::string& text, bool clearFirst,
                                int channel) { sender_.SendToChannel(text, clearFirst, channel); },
        .formatDflr = [this](const std::string& entry) { return dataLists_.FormatDflr(entry); },
        .setEntrySent = [this](bool sent) { dispatcher_.EntrySent = sent; },
        .list = [this](int kind) { return dataLists_.List(kind); }};
}

} // namespace trelk
