#pragma once

#include <QFile>
#include <QString>

namespace voidline {

// One line per chat line sent: "channel<TAB>text", Windows-1252, written through at once so
// a reader sees each line as soon as Enter was pressed.
class Transcript {
public:
    // Empty path: no transcript. False when the file cannot be opened; error() says why.
    bool open(const QString& path);
    void record(int channel, const QString& text);
    QString error() const { return file_.errorString(); }

private:
    QFile file_;
};

} // namespace voidline
