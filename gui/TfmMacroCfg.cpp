#include "TfmMacroCfg.h"

#include "QtText.h"
#include "macros/MacroEditor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QValidator>

namespace trelk {

namespace {

// The core's text is single-byte: characters beyond Latin-1 would arrive as '?'. They are
// refused as typed, so nothing is changed behind the pilot's back.
class SingleByteValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*pos*/) const override {
        for (const QChar c : input) {
            if (c.unicode() > 0xFF) {
                return Invalid;
            }
        }
        return Acceptable;
    }
};

} // namespace

TfmMacroCfg::TfmMacroCfg(MacroEditor& editor, QWidget* parent) : QDialog(parent), editor_(editor) {
    setObjectName("fmMacroCfg");
    setWindowTitle(toQt(editor_.Caption()));
    setModal(true);
    showMessage = [this](const std::string& title, const std::string& text) {
        QMessageBox::warning(this, toQt(title), toQt(text), QMessageBox::Ok);
    };

    auto* layout = new QVBoxLayout(this);
    rgChanSel = new QGroupBox("Channel", this);
    rgChanSel->setObjectName("rgChanSel");
    channels = new QButtonGroup(rgChanSel);
    auto* channelColumn = new QVBoxLayout(rgChanSel);
    for (std::size_t i = 0; i < MacroEditor::ChannelCaptions.size(); ++i) {
        auto* item = new QRadioButton(MacroEditor::ChannelCaptions[i], rgChanSel);
        item->setObjectName(QString("rbChannel%1").arg(i + 1));
        channels->addButton(item, static_cast<int>(i + 1));
        channelColumn->addWidget(item);
    }
    layout->addWidget(rgChanSel);

    MacroText = new QLineEdit(this);
    MacroText->setObjectName("MacroText");
    MacroText->setValidator(new SingleByteValidator(MacroText));
    layout->addWidget(MacroText);

    cbReturn = new QCheckBox("Add return to End of Macro", this);
    cbReturn->setObjectName("cbReturn");
    layout->addWidget(cbReturn);

    auto* commandRow = new QHBoxLayout;
    auto* commandLabel = new QLabel("Trelk Cmds", this);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setToolTip("Select Command then double click to add to Macro Text");
    for (const char* command : MacroEditor::TrelkCommands) {
        ComboBox1->addItem(command);
    }
    ComboBox1->setCurrentIndex(0);
    ComboBox1->lineEdit()->installEventFilter(this);
    commandLabel->setBuddy(ComboBox1);
    commandRow->addWidget(commandLabel);
    commandRow->addWidget(ComboBox1, 1);
    layout->addLayout(commandRow);

    auto* buttons = new QHBoxLayout;
    bClear = new QPushButton("Clear", this);
    bClear->setObjectName("bClear");
    bSave = new QPushButton("Save", this);
    bSave->setObjectName("bSave");
    bSave->setDefault(true);
    bCancel = new QPushButton("Cancel", this);
    bCancel->setObjectName("bCancel");
    buttons->addWidget(bClear);
    buttons->addStretch();
    buttons->addWidget(bSave);
    buttons->addWidget(bCancel);
    layout->addLayout(buttons);

    connect(bClear, &QPushButton::clicked, this, [this] { bClearClick(); });
    connect(bSave, &QPushButton::clicked, this, [this] { bSaveClick(); });
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    showEditor();
}

bool TfmMacroCfg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ComboBox1->lineEdit() && event->type() == QEvent::MouseButtonDblClick) {
        ComboBox1DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfmMacroCfg::ComboBox1DblClick() {
    takeEditor();
    if (editor_.AppendCommand(fromQt(ComboBox1->currentText()))) {
        showEditor();
    }
}

void TfmMacroCfg::bClearClick() {
    editor_.Clear();
    showEditor();
}

void TfmMacroCfg::bSaveClick() {
    takeEditor();
    const MacroEditor::SaveResult result = editor_.Save();
    if (result.outcome == MacroEditor::SaveResult::Outcome::Saved) {
        reject(); // closes as Cancel does: the store is done
        return;
    }
    showEditor();
    if (showMessage) {
        showMessage(result.title, result.message);
    }
}

void TfmMacroCfg::showEditor() {
    MacroText->setMaxLength(static_cast<int>(editor_.textLimit()));
    MacroText->setText(toQt(editor_.Text));
    if (QAbstractButton* item = channels->button(editor_.Channel)) {
        item->setChecked(true);
    }
    cbReturn->setChecked(editor_.AddReturn);
}

void TfmMacroCfg::takeEditor() {
    editor_.Text = fromQt(MacroText->text());
    editor_.Channel = std::max(channels->checkedId(), 0);
    editor_.AddReturn = cbReturn->isChecked();
}

} // namespace trelk
