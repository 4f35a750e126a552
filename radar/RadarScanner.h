#pragma once

#include "core/CheckOption.h"
#include "core/HookSlots.h"
#include "core/SettingsValues.h"
#include "core/TraceOutput.h"
#include "platform/ports/Desktop.h"
#include "platform/ports/ScreenCapture.h"
#include "platform/ports/Sound.h"
#include "platform/ports/Timers.h"
#include "radar/CaptureRectangle.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trelk {

class ConsolePage;
class OverlayLibrary;

// The alarm check boxes of the "When Target Found" group, which the settings hold.
struct RadarAlarmBoxes {
    const CheckOption& DisplayMessage; // cbxSRadarAlarmPU
    const CheckOption& PlaySound;      // cbxSRadarAlarmWAV
    const CheckOption& RepeatSound;    // cbxSRadarAlarmRepeat
};

// Watches the rectangle of the screen where the game draws its radar for a pixel of the chosen
// target's colour, every two seconds while scanning is on. A hit stops the scan and raises the
// alarm: the console page "Targetable Object Found!", the alarm sound, or both, the sound
// repeating every six seconds until the pilot presses a key in the game. Main thread only.
//
// "The screen" of the rectangle is the game's monitor where the screen is made of several
// (GameScreenArea), found anew at every scan, so the scan follows the game to another monitor.
//
// The repeat box is read where it is used: at the hit and at every repeat tick, so what the
// pilot switched last (on the tab or in the console) is what happens.
class RadarScanner {
public:
    struct Hooks {
        std::function<void(const std::string&)> addLogLine{}; // the pilot log's AddLogLine
        // A sound file that cannot be played: the status bar and the log.
        std::function<void(const std::string&)> reportDuringPlay{};
    };

    static constexpr int ScanIntervalMs = 2000;
    static constexpr int RepeatIntervalMs = 6000;
    // The offsets in pixels of a 640 x 480 screen: centred, 200 below the middle.
    static constexpr double DefaultOffsetX = 0;
    static constexpr double DefaultOffsetY = 200;
    static constexpr const char* EnabledLine = "Radar Scanning Enabled";
    static constexpr const char* DisabledLine = "Radar Scanning Disabled";
    static constexpr const char* DetectedLine = "Targetable Object Detected";
    static constexpr const char* CaptureFailedLine = "ERROR Scanning Radar";
    static constexpr const char* AlarmTitle = "Targetable Object Found!";

    // values: the "Scanner" settings, kept up to date for the save; defaultAlarmPath: the
    // program's own alarm, heard when no file is chosen.
    RadarScanner(TimerFactory& timers, Desktop& desktop, ScreenCapture& screen, Sound& sound,
                 OverlayLibrary& overlay, ConsolePage& page, TraceOutput& trace,
                 ScannerSettings& values, RadarAlarmBoxes boxes, std::string defaultAlarmPath,
                 Hooks hooks);

    const Hooks& hooks() const { return hooks_; }

    // --- Start-up and shutdown ---
    void ResetRadarOffsets();
    // After the settings were read: the target's button and the indicator boxes.
    void ApplyLoadedSettings();
    // The chosen sound file, or the program's own alarm when none is chosen.
    void LoadAlarmSound();
    // Both timers stop (the program closes).
    void Stop();

    // --- Scanning ---
    // On or off, with the indicator in the console and a log line.
    void ToggleScan();
    bool Scanning() const { return tmrSRadar_->enabled(); }
    // One capture and pixel walk; true when a pixel of the target's colour was seen.
    bool ScanOnce();
    // The timers' handlers.
    void tmrSRadarTimer();
    void tmrSRadarAlarmRepeatTimer();
    // A key pressed in the game acknowledges the alarm.
    void StopAlarmRepeat() { tmrSRadarAlarmRepeat_->setEnabled(false); }
    bool AlarmRepeating() const { return tmrSRadarAlarmRepeat_->enabled(); }
    // The last capture (the tab's hidden preview).
    const ScreenPixels& RadarImage() const { return radarImage_; }
    CaptureRectangle LastRectangle() const { return lastRectangle_; }

    // --- The target (the "Scan Target" buttons) ---
    int TargetCode() const { return values_.ScanColor; }
    // A code outside the targets selects Object.
    void SetTargetCode(int code);
    // A view of the target code (the radio buttons).
    void addTargetView(std::function<void(int)> view) { targetViews_.push_back(std::move(view)); }

    // --- The "'Scan Active' Indicator" boxes ---
    // Disable ticked: 0; else Use Alternate Indicator ticked: 2; else 1.
    int IndicatorMode() const;
    CheckOption cbScanIndDisable;
    CheckOption cbScanIndAlt;

    // --- The alarm sound ---
    // A file chosen with "Sound File": stored, and loaded at once.
    void ChooseSoundFile(const std::string& path);
    // The file heard at a hit: the chosen one, or the program's own.
    const std::string& AlarmSoundPath() const { return alarmPath_; }

private:
    void playAlarm();
    void indicatorClicked();
    void addLogLine(const std::string& line);

    Desktop& desktop_;
    ScreenCapture& screen_;
    Sound& sound_;
    OverlayLibrary& overlay_;
    ConsolePage& page_;
    TraceOutput& trace_;
    ScannerSettings& values_;
    RadarAlarmBoxes boxes_;
    std::string defaultAlarmPath_;
    Hooks hooks_;
    std::unique_ptr<Timer> tmrSRadar_;
    std::unique_ptr<Timer> tmrSRadarAlarmRepeat_;
    double offsetX_ = DefaultOffsetX;
    double offsetY_ = DefaultOffsetY;
    ScreenPixels radarImage_;
    CaptureRectangle lastRectangle_;
    std::vector<std::function<void(int)>> targetViews_;
    bool applyingIndicator_ = false;
    std::unique_ptr<SoundClip> alarm_;
    std::string alarmPath_;
};

template <> struct HookSlotList<RadarScanner::Hooks> {
    using S = RadarScanner::Hooks;
    static constexpr const char* Name = "RadarScanner::Hooks";
    static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, addLogLine),
                                      TRELK_HOOK_SLOT(S, reportDuringPlay)};
};
static_assert(ListsEverySlot<RadarScanner::Hooks>());

} // namespace trelk
