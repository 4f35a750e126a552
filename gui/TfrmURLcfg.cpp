#include "TfrmURLcfg.h"

#include "QtText.h"
#include "web/UrlEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace trelk {

TfrmURLcfg::TfrmURLcfg(UrlEditor& editor, QWidget* parent) : QDialog(parent), editor_(editor) {
    setObjectName("frmURLcfg");
    setModal(true);
    // A dialog border: no resizing, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(toQt(editor_.Caption()));

    auto* layout = new QVBoxLayout(this);
    lblURLName = new QLabel(this);
    lblURLName->setObjectName("lblURLName");
    layout->addWidget(lblURLName);
    edtURL = new QLineEdit(this);
    edtURL->setObjectName("edtURL");
    edtURL->setMaxLength(static_cast<int>(UrlEditor::MaxFieldLength));
    edtURL->setMinimumWidth(420);
    layout->addWidget(edtURL);

    auto* buttons = new QHBoxLayout;
    bOK = new QPushButton("OK", this);
    bOK->setObjectName("bOK");
    bRemove = new QPushButton("Remove", this);
    bRemove->setObjectName("bRemove");
    bCancel = new QPushButton("Cancel", this);
    bCancel->setObjectName("bCancel");
    for (QPushButton* button : {bOK, bRemove, bCancel}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    connect(bOK, &QPushButton::clicked, this, &TfrmURLcfg::bOKClick);
    connect(bRemove, &QPushButton::clicked, this, &TfrmURLcfg::bRemoveClick);
    connect(bCancel, &QPushButton::clicked, this, &TfrmURLcfg::bCancelClick);
    // Enter in the edit field is OK.
    connect(edtURL, &QLineEdit::returnPressed, this, &TfrmURLcfg::bOKClick);
    showEditor();
}

void TfrmURLcfg::bOKClick() {
    editor_.Field = fromQt(edtURL->text());
    editor_.Ok();
    if (editor_.IsOpen()) {
        showEditor();
    } else {
        accept();
    }
}

void TfrmURLcfg::bRemoveClick() {
    editor_.Remove();
    accept();
}

void TfrmURLcfg::bCancelClick() {
    reject();
}

void TfrmURLcfg::reject() {
    editor_.Cancel();
    QDialog::reject();
}

void TfrmURLcfg::showEditor() {
    lblURLName->setText(toQt(editor_.Label()));
    edtURL->setText(toQt(editor_.Field));
    edtURL->selectAll();
    edtURL->setFocus();
}

} // namespace trelk
