#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace trelk {

class RadarScanner;
class SettingsController;

// The "Scanner" tab: the target to scan the radar for, what happens when one is found, the
// alarm's sound file and the scan-active indicator. A view of RadarScanner and of the alarm
// options; the tab's group is saved when the pilot leaves it.
class ScannerTab final : public QWidget {
public:
    ScannerTab(RadarScanner& radar, SettingsController& settings, std::string programDir,
               QWidget* parent = nullptr);

    // The open dialog of "Sound File"; a test answers it instead. Empty: cancelled.
    std::function<QString(const QString& folder)> runSoundFileDialog;

    // rbTargetFlux, rbTargetObj, rbTargetSol, rbTargetOct, rbTargetQuan: the target codes.
    std::array<QRadioButton*, 5> TargetButtons{};
    QCheckBox* cbxSRadarAlarmPU = nullptr;
    QCheckBox* cbxSRadarAlarmWAV = nullptr;
    QCheckBox* cbxSRadarAlarmRepeat = nullptr;
    QPushButton* btnSoundFile = nullptr;
    QLabel* lblSoundFile = nullptr;
    QCheckBox* cbScanIndDisable = nullptr;
    QCheckBox* cbScanIndAlt = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void btnSoundFileClick();
    void showSoundFile();

    RadarScanner& radar_;
    std::string programDir_;
};

} // namespace trelk
