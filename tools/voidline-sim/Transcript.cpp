#include "Transcript.h"

#include "ChatChannels.h"

namespace voidline {

bool Transcript::open(const QString& path) {
    if (path.isEmpty()) {
        return true;
    }
    file_.setFileName(path);
    return file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
}

void Transcript::record(int channel, const QString& text) {
    if (!file_.isOpen()) {
        return;
    }
    QByteArray body = ToWindows1252(text);
    // One record per line, whatever was pasted.
    for (char& c : body) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    file_.write(QByteArray::number(channel) + '\t' + body + '\n');
    file_.flush();
}

} // namespace voidline
