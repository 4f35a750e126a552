#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace trelk {

class MacroEditor;

// The macro definition dialog: a view of the MacroEditor, which decides what Clear and Save
// do. Opened modally for one row of the macro list.
class TfmMacroCfg final : public QDialog {
public:
    // Shows a message the pilot acknowledges (title, text). A QMessageBox unless a test
    // answers it.
    using MessageBox = std::function<void(const std::string& title, const std::string& text)>;

    TfmMacroCfg(MacroEditor& editor, QWidget* parent = nullptr);

    MessageBox showMessage;

    QGroupBox* rgChanSel = nullptr;
    QButtonGroup* channels = nullptr;
    QLineEdit* MacroText = nullptr;
    QCheckBox* cbReturn = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* bClear = nullptr;
    QPushButton* bSave = nullptr;
    QPushButton* bCancel = nullptr;

    void ComboBox1DblClick();
    void bClearClick();
    void bSaveClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showEditor();
    void takeEditor();

    MacroEditor& editor_;
};

} // namespace trelk
