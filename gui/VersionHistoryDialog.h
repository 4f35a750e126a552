#pragma once

#include <QDialog>

namespace trelk {

// "Version History": what changed from release to release.
class VersionHistoryDialog : public QDialog {
    Q_OBJECT
public:
    explicit VersionHistoryDialog(QWidget* parent);

    static QString historyText();
};

} // namespace trelk
