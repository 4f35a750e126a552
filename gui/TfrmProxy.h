#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <string>

namespace trelk {

class ProxySettings;

// The proxy dialog: the proxy's host and port. The fields are the model's; the buttons run
// its handlers. A port that is not a number is said in a box and the dialog stays open.
class TfrmProxy final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmProxy(ProxySettings& proxy, QWidget* parent = nullptr);

    QLineEdit* eProxyName = nullptr;
    QLineEdit* meProxyPort = nullptr;
    QPushButton* bSave = nullptr;
    QPushButton* bClear = nullptr;
    QPushButton* bCancel = nullptr;

    void FormShow();
    void bSaveClick();
    void bClearClick();
    void bCancelClick();
    // How a failed Save is said: a box over the dialog; tests replace it.
    std::function<void(const std::string&)> showMessage;

protected:
    void showEvent(QShowEvent* event) override;
    // Escape and the close box are Cancel.
    void reject() override;

private:
    void showModel();
    void takeFields();

    ProxySettings& proxy_;
};

} // namespace trelk
