#include "radar/RadarScanner.h"

#include "console/ConsolePage.h"
#include "console/OverlayLibrary.h"
#include "core/GameScreen.h"
#include "radar/ScanTargets.h"

namespace trelk {

RadarScanner::RadarScanner(TimerFactory& timers, Desktop& desktop, ScreenCapture& screen,
                           Sound& sound, OverlayLibrary& overlay, ConsolePage& page,
                           TraceOutput& trace, ScannerSettings& values, RadarAlarmBoxes boxes,
                           std::string defaultAlarmPath, Hooks hooks)
    : desktop_(desktop), screen_(screen), sound_(sound), overlay_(overlay), page_(page),
      trace_(trace), values_(values), boxes_(boxes), defaultAlarmPath_(std::move(defaultAlarmPath)),
      hooks_(std::move(hooks)), tmrSRadar_(timers.createTimer("tmrSRadar", ScanIntervalMs)),
      tmrSRadarAlarmRepeat_(timers.createTimer("tmrSRadarAlarmRepeat", RepeatIntervalMs)) {
    tmrSRadar_->setHandler([this] { tmrSRadarTimer(); });
    tmrSRadarAlarmRepeat_->setHandler([this] { tmrSRadarAlarmRepeatTimer(); });
    cbScanIndDisable.setOnClick([this] {
        // Disable takes the alternate indicator with it; the mode changes once.
        if (cbScanIndDisable.checked() && cbScanIndAlt.checked()) {
            applyingIndicator_ = true;
            cbScanIndAlt.setChecked(false);
            applyingIndicator_ = false;
        }
        indicatorClicked();
    });
    cbScanIndAlt.setOnClick([this] { indicatorClicked(); });
}

void RadarScanner::ResetRadarOffsets() {
    offsetX_ = DefaultOffsetX;
    offsetY_ = DefaultOffsetY;
}

void RadarScanner::ApplyLoadedSettings() {
    SetTargetCode(values_.ScanColor);
    const int mode = values_.ScanIndicator;
    applyingIndicator_ = true;
    cbScanIndDisable.setChecked(mode < 1);
    cbScanIndAlt.setChecked(mode >= 2);
    applyingIndicator_ = false;
    values_.ScanIndicator = IndicatorMode();
}

void RadarScanner::Stop() {
    tmrSRadar_->setEnabled(false);
    tmrSRadarAlarmRepeat_->setEnabled(false);
}

void RadarScanner::ToggleScan() {
    if (tmrSRadar_->enabled()) {
        tmrSRadar_->setEnabled(false);
        overlay_.NexaCSetScanMode(0, TraceAs("TrelkPro: NexaCSetScanMode called with value FALSE"));
        addLogLine(DisabledLine);
        return;
    }
    tmrSRadar_->setEnabled(true);
    overlay_.NexaCSetScanMode(IndicatorMode());
    addLogLine(EnabledLine);
}

bool RadarScanner::ScanOnce() {
    const ScreenArea area = GameScreenArea(desktop_, screen_);
    lastRectangle_ = RadarCaptureRectangle(area.Width, area.Height, offsetX_, offsetY_);
    lastRectangle_.Left += area.Left;
    lastRectangle_.Top += area.Top;
    std::string error;
    if (area.empty()) {
        error = "no screen";
    } else if (screen_.captureRectangle(lastRectangle_.Left, lastRectangle_.Top,
                                        lastRectangle_.Width, lastRectangle_.Height, radarImage_,
                                        error)) {
        const bool found = AnyTargetPixel(values_.ScanColor, radarImage_.pixels);
        if (found) {
            addLogLine(DetectedLine);
        }
        return found;
    }
    trace_.Trace("TrelkPro: radar capture failed: " + error);
    addLogLine(CaptureFailedLine);
    return false;
}

void RadarScanner::tmrSRadarTimer() {
    if (!ScanOnce()) {
        return;
    }
    tmrSRadar_->setEnabled(false);
    if (boxes_.DisplayMessage.checked()) {
        page_.ClearPage();
        page_.SetPageTitle(AlarmTitle);
        page_.RenderConsole();
        page_.ShowConsole();
    }
    if (boxes_.PlaySound.checked()) {
        if (boxes_.RepeatSound.checked()) {
            tmrSRadarAlarmRepeat_->setEnabled(true);
        }
        playAlarm();
    }
    overlay_.NexaCSetScanMode(0);
    addLogLine(DisabledLine);
}

void RadarScanner::tmrSRadarAlarmRepeatTimer() {
    if (boxes_.PlaySound.checked() && boxes_.RepeatSound.checked()) {
        playAlarm();
        return;
    }
    tmrSRadarAlarmRepeat_->setEnabled(false);
}

void RadarScanner::SetTargetCode(int code) {
    values_.ScanColor = ValidTargetCode(code);
    for (const auto& view : targetViews_) {
        view(values_.ScanColor);
    }
}

int RadarScanner::IndicatorMode() const {
    if (cbScanIndDisable.checked()) {
        return 0;
    }
    return cbScanIndAlt.checked() ? 2 : 1;
}

void RadarScanner::indicatorClicked() {
    if (applyingIndicator_) {
        return;
    }
    values_.ScanIndicator = IndicatorMode();
    if (Scanning()) {
        overlay_.NexaCSetScanMode(IndicatorMode());
    }
}

void RadarScanner::ChooseSoundFile(const std::string& path) {
    values_.RadarWavFileName = path;
    LoadAlarmSound();
}

void RadarScanner::LoadAlarmSound() {
    alarm_.reset();
    alarmPath_.clear();
    const std::string& chosen = values_.RadarWavFileName;
    std::string error;
    if (!chosen.empty()) {
        alarm_ = sound_.loadWav(chosen, error);
        if (alarm_) {
            alarmPath_ = chosen;
            return;
        }
        // An alarm that stays silent is worse than one that sounds different: the pilot's
        // choice stays stored, and the program's own alarm stands in until it can be read.
        if (hooks_.reportDuringPlay) {
            hooks_.reportDuringPlay("The alarm sound " + chosen + " cannot be played (" + error +
                                    "); the built-in alarm sounds instead");
        }
    }
    alarm_ = sound_.loadWav(defaultAlarmPath_, error);
    if (alarm_) {
        alarmPath_ = defaultAlarmPath_;
    } else if (hooks_.reportDuringPlay) {
        hooks_.reportDuringPlay("The built-in alarm sound cannot be played: " + error);
    }
}

void RadarScanner::playAlarm() {
    if (alarm_) {
        alarm_->play();
    }
}

void RadarScanner::addLogLine(const std::string& line) {
    if (hooks_.addLogLine) {
        hooks_.addLogLine(line);
    }
}

} // namespace trelk
