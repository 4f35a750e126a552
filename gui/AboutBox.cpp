#include "AboutBox.h"

#include "AppIcon.h"
#include "QtText.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace trelk {

AboutBox::AboutBox(const VersionInfo& version, QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("About");
    auto* layout = new QVBoxLayout(this);

    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);

    auto* product = new QLabel(toQt(version.productName), this);
    product->setObjectName("ProductName");
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    product->setFont(big);
    product->setAlignment(Qt::AlignCenter);
    layout->addWidget(product);

    auto* versionLine = new QLabel(toQt(version.aboutVersionLine()), this);
    versionLine->setObjectName("Version");
    versionLine->setAlignment(Qt::AlignCenter);
    layout->addWidget(versionLine);

    auto* dated = new QLabel(toQt(version.aboutDateLine()), this);
    dated->setObjectName("Dated");
    dated->setAlignment(Qt::AlignCenter);
    layout->addWidget(dated);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

} // namespace trelk
