#pragma once

#include <QDialog>
#include <QPushButton>
#include <QSpinBox>

namespace trelk {

class LogBufSettings;

// The log settings dialog: the number of lines the scroll-back buffer holds.
class TfrmLogBuf final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogBuf(LogBufSettings& settings, QWidget* parent = nullptr);

    QSpinBox* seLogBuf = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnCancel = nullptr;

    void FormShow();
    void btnSaveClick();
    void btnClearClick();
    void btnCancelClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and the close box are Cancel.
    void reject() override;

private:
    LogBufSettings& settings_;
};

} // namespace trelk
