#include "TfrmProxy.h"

#include "QtText.h"
#include "downloads/ProxySettings.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace trelk {

TfrmProxy::TfrmProxy(ProxySettings& proxy, QWidget* parent) : QDialog(parent), proxy_(proxy) {
    setObjectName("frmProxy");
    setWindowTitle(ProxySettings::Caption);
    setModal(true);
    showMessage = [this](const std::string& text) {
        QMessageBox::warning(this, windowTitle(), toQt(text), QMessageBox::Ok);
    };

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    eProxyName = new QLineEdit(this);
    eProxyName->setObjectName("eProxyName");
    meProxyPort = new QLineEdit(this);
    meProxyPort->setObjectName("meProxyPort");
    // Up to four digits, right-aligned, as the port field always took them.
    meProxyPort->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9 ]{0,4}")), meProxyPort));
    meProxyPort->setMaxLength(ProxySettings::MaxPortDigits);
    meProxyPort->setAlignment(Qt::AlignRight);
    meProxyPort->setFixedWidth(60);
    form->addRow("Proxy Server Name", eProxyName);
    form->addRow("Proxy Port", meProxyPort);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    bSave = new QPushButton("Save", this);
    bSave->setObjectName("bSave");
    bSave->setDefault(true);
    bClear = new QPushButton("Clear", this);
    bClear->setObjectName("bClear");
    bCancel = new QPushButton("Cancel", this);
    bCancel->setObjectName("bCancel");
    for (QPushButton* button : {bSave, bClear, bCancel}) {
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    connect(bSave, &QPushButton::clicked, this, &TfrmProxy::bSaveClick);
    connect(bClear, &QPushButton::clicked, this, &TfrmProxy::bClearClick);
    connect(bCancel, &QPushButton::clicked, this, &TfrmProxy::bCancelClick);
}

void TfrmProxy::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmProxy::showModel() {
    eProxyName->setText(toQt(proxy_.eProxyName));
    meProxyPort->setText(toQt(proxy_.meProxyPort));
}

void TfrmProxy::takeFields() {
    proxy_.eProxyName = fromQt(eProxyName->text());
    proxy_.meProxyPort = fromQt(meProxyPort->text());
}

void TfrmProxy::FormShow() {
    proxy_.FormShow();
    showModel();
}

void TfrmProxy::bClearClick() {
    proxy_.bClearClick();
    showModel();
}

void TfrmProxy::bCancelClick() {
    reject();
}

void TfrmProxy::reject() {
    proxy_.bCancelClick();
    showModel();
    QDialog::reject();
}

void TfrmProxy::bSaveClick() {
    takeFields();
    if (const auto message = proxy_.bSaveClick()) {
        if (showMessage) {
            showMessage(*message);
        }
        return;
    }
    accept();
}

} // namespace trelk
