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
          }) {
    wireLifecycle();
    wireDispatcher();
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
    hooks.hideConsoleAndFreeOverlay = [this] { overlay_.FreeOverlayLibrary(); };
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
    SlashCommandActions& commands = slashCommands_.Actions;
    commands.ReportError = [this](const std::string& message) { prompts_.showError(message); };
    commands.FormatDflr = [this](const std::string& entry) { return dataLists_.FormatDflr(entry); };
    commands.SaveDataLists = [this] { dataLists_.SaveDataLists(); };
    commands.LoadSelectedDataList = [this] {
        dataLists_.LoadDataList(core_.settings().values().DataList.LoadData);
    };
    actions.WriteInterfaceValue = [this](const std::string& name, const std::string& value) {
        core_.registry().WriteInterfaceValue(name, value);
    };
    actions.reportError = [this](const std::string& message) { prompts_.showError(message); };
}

} // namespace trelk
