#include "TfmTrelkConv.h"

#include "AppIcon.h"
#include "QtText.h"
#include "downloads/DatabaseDownload.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace trelk {

TfmTrelkConv::TfmTrelkConv(DatabaseDownload& download, QWidget* parent)
    : QDialog(parent), download_(download) {
    setObjectName("fmTrelkConv");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(DatabaseDownload::ClientWidth, DatabaseDownload::ClientHeight);
    setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(AppIcon().pixmap(64, 64));
    Image1->setStyleSheet("background: #0b1726;");
    layout->addWidget(Image1, 1);

    auto* bar = new QWidget(this);
    bar->setObjectName("StatusBar1");
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(2, 2, 2, 2);
    ProgressBar1 = new QProgressBar(bar);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setFixedWidth(DatabaseDownload::ProgressPanelWidth);
    ProgressBar1->setTextVisible(false);
    StatusPanel1 = new QLabel(bar);
    StatusPanel1->setObjectName("StatusPanel1");
    StatusPanel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    row->addWidget(ProgressBar1);
    row->addWidget(StatusPanel1, 1);
    btnExit = new QPushButton("Exit", bar);
    btnExit->setObjectName("btnExit");
    btnExit->hide();
    connect(btnExit, &QPushButton::clicked, this, &TfmTrelkConv::closeFromModel);
    layout->addWidget(bar);

    QPointer<TfmTrelkConv> view(this);
    download_.addView([view] {
        if (view) {
            view->showModel();
        }
    });
    showModel();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TfmTrelkConv::showModel() {
    setWindowTitle(toQt(download_.Caption()));
    StatusPanel1->setText(toQt(download_.StatusText()));
    // The bar takes int: a large transfer is shown in proportion.
    const std::int64_t maximum = download_.ProgressMax();
    const std::int64_t position = download_.ProgressPosition();
    if (maximum <= 0) {
        ProgressBar1->setRange(0, 100);
        ProgressBar1->setValue(0);
        return;
    }
    const std::int64_t scale = maximum / std::numeric_limits<int>::max() + 1;
    ProgressBar1->setRange(0, static_cast<int>(maximum / scale));
    ProgressBar1->setValue(
        static_cast<int>(std::clamp<std::int64_t>(position, 0, maximum) / scale));
}

void TfmTrelkConv::closeFromModel() {
    closing_ = true;
    done(QDialog::Rejected);
    deleteLater();
}

void TfmTrelkConv::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        // The model closes the dialog through closeFromModel.
        event->ignore();
        download_.FormClose();
        return;
    }
    QDialog::closeEvent(event);
}

void TfmTrelkConv::reject() {
    if (closing_) {
        QDialog::reject();
        return;
    }
    download_.FormClose();
}

} // namespace trelk
