#include "TfrmLogBuf.h"

#include "log/LogBufSettings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace trelk {

TfrmLogBuf::TfrmLogBuf(LogBufSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("frmLogBuf");
    setWindowTitle("Trelk Log Setting");
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        "Enter the number of lines that the log file scroll-back buffer will hold", this);
    text->setObjectName("Label1");
    text->setWordWrap(true);
    layout->addWidget(text);

    seLogBuf = new QSpinBox(this);
    seLogBuf->setObjectName("seLogBuf");
    seLogBuf->setRange(PilotLog::MinLogBufSize, PilotLog::MaxLogBufSize);
    layout->addWidget(seLogBuf, 0, Qt::AlignLeft);

    auto* buttons = new QHBoxLayout;
    btnSave = new QPushButton("Save", this);
    btnSave->setObjectName("btnSave");
    btnSave->setDefault(true);
    btnClear = new QPushButton("Clear", this);
    btnClear->setObjectName("btnClear");
    btnCancel = new QPushButton("Cancel", this);
    btnCancel->setObjectName("btnCancel");
    for (QPushButton* button : {btnSave, btnClear, btnCancel}) {
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    connect(btnSave, &QPushButton::clicked, this, &TfrmLogBuf::btnSaveClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmLogBuf::btnClearClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmLogBuf::btnCancelClick);
}

void TfrmLogBuf::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmLogBuf::FormShow() {
    seLogBuf->setValue(settings_.Reload());
}

void TfrmLogBuf::btnClearClick() {
    seLogBuf->setValue(settings_.Reload());
}

void TfrmLogBuf::btnCancelClick() {
    reject();
}

void TfrmLogBuf::reject() {
    seLogBuf->setValue(settings_.Reload());
    QDialog::reject();
}

void TfrmLogBuf::btnSaveClick() {
    settings_.Save(seLogBuf->value());
    accept();
}

} // namespace trelk
