#pragma once

#include <QDialog>

#include "core/VersionInfo.h"

namespace trelk {

// "About...": product, version with build, and the executable's date.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(const VersionInfo& version, QWidget* parent);
};

} // namespace trelk
