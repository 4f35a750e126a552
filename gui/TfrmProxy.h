#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

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
    // The message of the last failed Save (for tests; the box shows it).
    const QString& lastError() const { return lastError_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showModel();
    void takeFields();

    ProxySettings& proxy_;
    QString lastError_;
};

} // namespace trelk
