#pragma once

#include "core/VersionInfo.h"

#include <QDialog>

namespace trelk {

// "About...": product, version with build, and the executable's date.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(const VersionInfo& version, QWidget* parent);
};

} // namespace trelk
