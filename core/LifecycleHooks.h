#pragma once

#include "HookSlots.h"

#include <functional>
#include <optional>
#include <string>

namespace trelk {

// The places in the start-up and shutdown sequences where other subsystems join in, in the
// order the sequences call them. The composition root fills them when it builds the program
// and hands them to AppCore's constructor; an unset hook is skipped, so the sequence keeps its
// order whatever is built.
struct LifecycleHooks {
    using Step = std::function<void()>;

    // --- FormCreate ---
    Step createAddOnLists{};     // add-ons: the two process-wide string lists
    Step installMessageFilter{}; // key map: capture of keys the hook does not see
    Step resetRadarOffsets{};    // radar: capture offsets 0 (horizontal), 200 (vertical)
    Step resetRunTimeState{};    // key dispatcher, slash commands, game control, macros
    Step loadMacros{};           // macros: read the "Macros" section
    // console: bind the overlay library; a failure message ends start-up.
    std::function<std::optional<std::string>()> loadOverlayLibrary{};
    Step createKeyRecord{}; // keyboard: the shared key record, first two bytes 0
    std::function<void(bool)> setOverlayDebugMode{}; // console: NexaCSetDebugMode
    Step writeKeyRecord{};                           // keyboard: rewrite the shared key record
    Step startDatabaseUpdateCheck{};                 // data: the coordinate database update check
    Step openDatabaseDownload{};   // data: the coordinate database download dialog
    Step pointFileListAtDataDir{}; // data: the "Files" tab's file list
    Step applyAutoStart{};         // game control: arm the game auto-start timer
    Step restoreDataLists{};       // data: refill the "Files" tab lists
    Step restoreCommandList{};     // command list: the user command list
    Step startDataListWorker{};    // data: build the three coordinate lists
    Step initConsoleOverlay{};     // console: picture, version text, channel notice
    Step resetMenu{};              // console: the menu tree
    // keyboard: HookOn; a failure message ends start-up.
    std::function<std::optional<std::string>()> installKeyboardHook{};
    // add-ons, after the interface values were reset: the poll and the automatic start.
    Step startAddOns{};
    Step loadUrlList{}; // web: the URL list and the link drop target

    // --- LoadSettings, applying the loaded values ---
    Step applyConsoleSpinControls{}; // console: opacity, speed, position; LastPopupSpeed
    Step applyColoursFontAndDate{};  // console colours and font; database date label
    Step applyKeyMapPanels{};        // key map: panel tags and captions
    Step applyScanTarget{};          // radar: the scan target radio buttons
    Step applyProxyToHttpClients{};  // data: both HTTP clients' proxy
    // The console preview is the console's own picture, drawn with the font the colours step
    // applied, and the bitmap dialog starts from the current path: neither needs a step here.
    Step loadAlarmSound{}; // radar: the alarm sound file

    // --- FormCloseQuery (close from the game-exit watcher) ---
    Step stopStationAndRadarTimers{}; // radar and station detection timers

    // --- FormClose ---
    Step disconnectHttpClients{}; // market and update-check HTTP clients
    Step stopWorkers{};           // market download, market parse, update check

    // --- FormDestroy ---
    Step unregisterLinkDropTarget{};  // web
    Step hookOff{};                   // keyboard: HookOff when bound
    Step closeKeyRecord{};            // keyboard
    Step hideConsoleAndFreeOverlay{}; // console
    Step freeHookLibrary{};           // keyboard
    Step closeHookMapping{};          // keyboard
    Step freeAddOnLists{};            // add-ons
    Step removeMessageFilter{};       // key map
};

template <> struct HookSlotList<LifecycleHooks> {
    using S = LifecycleHooks;
    static constexpr const char* Name = "LifecycleHooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, createAddOnLists),
        TRELK_HOOK_SLOT(S, installMessageFilter),
        TRELK_HOOK_SLOT(S, resetRadarOffsets),
        TRELK_HOOK_SLOT(S, resetRunTimeState),
        TRELK_HOOK_SLOT(S, loadMacros),
        TRELK_HOOK_SLOT(S, loadOverlayLibrary),
        TRELK_HOOK_SLOT(S, createKeyRecord),
        TRELK_HOOK_SLOT(S, setOverlayDebugMode),
        TRELK_HOOK_SLOT(S, writeKeyRecord),
        TRELK_HOOK_SLOT(S, startDatabaseUpdateCheck),
        TRELK_HOOK_SLOT(S, openDatabaseDownload),
        TRELK_HOOK_SLOT(S, pointFileListAtDataDir),
        TRELK_HOOK_SLOT(S, applyAutoStart),
        TRELK_HOOK_SLOT(S, restoreDataLists),
        TRELK_HOOK_SLOT(S, restoreCommandList),
        TRELK_HOOK_SLOT(S, startDataListWorker),
        TRELK_HOOK_SLOT(S, initConsoleOverlay),
        TRELK_HOOK_SLOT(S, resetMenu),
        TRELK_HOOK_SLOT(S, installKeyboardHook),
        TRELK_HOOK_SLOT(S, startAddOns),
        TRELK_HOOK_SLOT(S, loadUrlList),
        TRELK_HOOK_SLOT(S, applyConsoleSpinControls),
        TRELK_HOOK_SLOT(S, applyColoursFontAndDate),
        TRELK_HOOK_SLOT(S, applyKeyMapPanels),
        TRELK_HOOK_SLOT(S, applyScanTarget),
        TRELK_HOOK_SLOT(S, applyProxyToHttpClients),
        TRELK_HOOK_SLOT(S, loadAlarmSound),
        TRELK_HOOK_SLOT(S, stopStationAndRadarTimers),
        TRELK_HOOK_SLOT(S, disconnectHttpClients),
        TRELK_HOOK_SLOT(S, stopWorkers),
        TRELK_HOOK_SLOT(S, unregisterLinkDropTarget),
        TRELK_HOOK_SLOT(S, hookOff),
        TRELK_HOOK_SLOT(S, closeKeyRecord),
        TRELK_HOOK_SLOT(S, hideConsoleAndFreeOverlay),
        TRELK_HOOK_SLOT(S, freeHookLibrary),
        TRELK_HOOK_SLOT(S, closeHookMapping),
        TRELK_HOOK_SLOT(S, freeAddOnLists),
        TRELK_HOOK_SLOT(S, removeMessageFilter),
    };
};
static_assert(ListsEverySlot<LifecycleHooks>());

inline void RunHook(const LifecycleHooks::Step& step) {
    if (step) {
        step();
    }
}

} // namespace trelk
