#include "XdgLauncher.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <sys/stat.h>

namespace trelk {

bool XdgLauncher::openDocument(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return false;
    }
    const char* command = std::getenv("TRELK_OPEN_COMMAND");
    const QString program = (command != nullptr && *command != '\0') ? QFile::decodeName(command)
                                                                     : QStringLiteral("xdg-open");
    // File names are bytes on Linux; decodeName() is the inverse of what QProcess encodes.
    return QProcess::startDetached(program, QStringList{QFile::decodeName(path.c_str())});
}

} // namespace trelk
