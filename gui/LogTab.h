#pragma once

#include <QListWidget>
#include <QWidget>

namespace trelk {

class PilotLog;

// The contents of the "Log" tab sheet: the scroll-back buffer, newest line in view.
class LogTab final : public QWidget {
    Q_OBJECT
public:
    explicit LogTab(PilotLog& log, QWidget* parent = nullptr);

    QListWidget* lbLogFile = nullptr;
};

} // namespace trelk
