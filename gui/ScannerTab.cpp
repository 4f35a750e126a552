#include "ScannerTab.h"

#include "OptionCheckBox.h"
#include "QtText.h"
#include "TabOrder.h"
#include "core/SettingsController.h"
#include "radar/RadarScanner.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace trelk {

namespace {

struct TargetButton {
    const char* name;
    const char* caption;
    const char* colour; // the colour of the target's blips
};

constexpr std::array<TargetButton, 5> Targets{{
    {"rbTargetFlux", "Flux", "fuchsia"},
    {"rbTargetObj", "Object", "yellow"},
    {"rbTargetSol", "Sol", "blue"},
    {"rbTargetOct", "Oct", "red"},
    {"rbTargetQuan", "Quan", "lime"},
}};

} // namespace

ScannerTab::ScannerTab(RadarScanner& radar, SettingsController& settings, std::string programDir,
                       QWidget* parent)
    : QWidget(parent), radar_(radar), programDir_(std::move(programDir)) {
    setObjectName("ScannerTab");
    runSoundFileDialog = [this](const QString& folder) {
        return QFileDialog::getOpenFileName(this, "Select WAV file for scanner audible alert.",
                                            folder, "wav files (*.wav)");
    };

    auto* grid = new QGridLayout(this);

    auto* targetGroup = new QGroupBox("Scan Target", this);
    targetGroup->setObjectName("rgScanTarget");
    targetGroup->setToolTip("Select which Object Color to Scan the Radar Image for");
    auto* targetColumn = new QVBoxLayout(targetGroup);
    auto* buttons = new QButtonGroup(this);
    for (std::size_t code = 0; code < Targets.size(); ++code) {
        auto* button = new QRadioButton(Targets[code].caption, targetGroup);
        button->setObjectName(Targets[code].name);
        button->setToolTip(targetGroup->toolTip());
        button->setStyleSheet(QString("QRadioButton { background: %1; color: black;"
                                      " padding: 2px 6px; }")
                                  .arg(Targets[code].colour));
        buttons->addButton(button, static_cast<int>(code));
        targetColumn->addWidget(button);
        TargetButtons[code] = button;
    }
    TargetButtons[static_cast<std::size_t>(radar.TargetCode())]->setChecked(true);
    connect(buttons, &QButtonGroup::idClicked, this,
            [&radar](int code) { radar.SetTargetCode(code); });
    QPointer<QButtonGroup> guarded(buttons);
    radar.addTargetView([guarded](int code) {
        if (guarded != nullptr && guarded->button(code) != nullptr) {
            guarded->button(code)->setChecked(true);
        }
    });
    grid->addWidget(targetGroup, 0, 0, 2, 1);

    auto* alarmGroup = new QGroupBox("When Target Found", this);
    alarmGroup->setObjectName("gbWhenTargetFound");
    auto* alarmColumn = new QVBoxLayout(alarmGroup);
    cbxSRadarAlarmPU =
        BoundCheckBox("cbxSRadarAlarmPU", "Display Message", settings.SRadarAlarmPU, alarmGroup);
    cbxSRadarAlarmPU->setToolTip("Enable Console pop-up notification when target is found");
    cbxSRadarAlarmWAV =
        BoundCheckBox("cbxSRadarAlarmWAV", "Play Sound", settings.SRadarAlarmWAV, alarmGroup);
    cbxSRadarAlarmWAV->setToolTip("Enable sound notification when target is found");
    cbxSRadarAlarmRepeat = BoundCheckBox("cbxSRadarAlarmRepeat", "Repeat Sound",
                                         settings.SRadarAlarmRepeat, alarmGroup);
    cbxSRadarAlarmRepeat->setToolTip("Repeats the sound until popup acknowledged");
    btnSoundFile = new QPushButton("Sound File", alarmGroup);
    btnSoundFile->setObjectName("btnSoundFile");
    lblSoundFile = new QLabel(alarmGroup);
    lblSoundFile->setObjectName("lblSoundFile");
    lblSoundFile->setStyleSheet("color: #555;");
    alarmColumn->addWidget(cbxSRadarAlarmPU);
    alarmColumn->addWidget(cbxSRadarAlarmWAV);
    alarmColumn->addWidget(cbxSRadarAlarmRepeat);
    alarmColumn->addWidget(btnSoundFile);
    alarmColumn->addWidget(lblSoundFile);
    connect(btnSoundFile, &QPushButton::clicked, this, &ScannerTab::btnSoundFileClick);
    grid->addWidget(alarmGroup, 0, 1);

    auto* indicatorGroup = new QGroupBox("'Scan Active' Indicator", this);
    indicatorGroup->setObjectName("gbScanIndicator");
    auto* indicatorColumn = new QVBoxLayout(indicatorGroup);
    cbScanIndDisable =
        BoundCheckBox("cbScanIndDisable", "Disable", radar.cbScanIndDisable, indicatorGroup);
    cbScanIndAlt = BoundCheckBox("cbScanIndAlt", "Use Alternate Indicator", radar.cbScanIndAlt,
                                 indicatorGroup);
    // Greyed out while the indicator is off.
    cbScanIndAlt->setEnabled(!radar.cbScanIndDisable.checked());
    QPointer<QCheckBox> alternate(cbScanIndAlt);
    radar.cbScanIndDisable.addView([alternate](bool off) {
        if (alternate != nullptr) {
            alternate->setEnabled(!off);
        }
    });
    indicatorColumn->addWidget(cbScanIndDisable);
    indicatorColumn->addWidget(cbScanIndAlt);
    grid->addWidget(indicatorGroup, 1, 1);

    auto* saved = new QLabel("Changes made to this page are automaticaly saved", this);
    saved->setObjectName("lblAutoSave");
    grid->addWidget(saved, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    // The target (one stop: the arrow keys pick inside it), then the right column downwards.
    ChainTabOrder(this,
                  {"rbTargetFlux", "rbTargetObj", "rbTargetSol", "rbTargetOct", "rbTargetQuan",
                   "cbxSRadarAlarmPU", "cbxSRadarAlarmWAV", "cbxSRadarAlarmRepeat", "btnSoundFile",
                   "cbScanIndDisable", "cbScanIndAlt"});
    showSoundFile();
}

void ScannerTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The sound is loaded at start-up, after the tab was built.
    showSoundFile();
}

void ScannerTab::btnSoundFileClick() {
    const QString chosen = runSoundFileDialog(toQt(programDir_));
    if (chosen.isEmpty()) {
        return;
    }
    radar_.ChooseSoundFile(fromQt(chosen));
    showSoundFile();
}

void ScannerTab::showSoundFile() {
    const QString path = toQt(radar_.AlarmSoundPath());
    lblSoundFile->setText(path.isEmpty() ? QString("(no sound)") : QFileInfo(path).fileName());
    lblSoundFile->setToolTip(path);
}

} // namespace trelk
