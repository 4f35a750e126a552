#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace trelk {

class DatabaseDownload;

// The coordinate database download dialog: a picture panel over a status bar whose first panel
// is the progress bar and whose second shows what the download does. A view of
// DatabaseDownload; the window's close box ends the download, and the model closes the dialog
// when it is done.
class TfmTrelkConv final : public QDialog {
    Q_OBJECT
public:
    explicit TfmTrelkConv(DatabaseDownload& download, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QPushButton* btnExit = nullptr; // hidden: only the model closes the dialog through it

    // The model is done with the dialog: it goes without asking the model again.
    void closeFromModel();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape: as the close box

private:
    void showModel();

    DatabaseDownload& download_;
    bool closing_ = false;
};

} // namespace trelk
