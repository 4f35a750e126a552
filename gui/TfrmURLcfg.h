#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace trelk {

class UrlEditor;

// The URL dialog: a view of the UrlEditor, which decides what its two stages, OK, Remove and
// Cancel do. Opened modally for one row of the Web tab's list.
class TfrmURLcfg final : public QDialog {
public:
    explicit TfrmURLcfg(UrlEditor& editor, QWidget* parent = nullptr);

    QLabel* lblURLName = nullptr;
    QLineEdit* edtURL = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bRemove = nullptr;
    QPushButton* bCancel = nullptr;

    void bOKClick();
    void bRemoveClick();
    void bCancelClick();

protected:
    // Closing the window any other way is Cancel.
    void reject() override;

private:
    void showEditor();

    UrlEditor& editor_;
};

} // namespace trelk
