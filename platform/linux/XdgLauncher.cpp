#include "XdgLauncher.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

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

bool XdgLauncher::startProgram(const std::string& path, const std::string& workingFolder) {
    lastLaunchError_.clear();
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        lastLaunchError_ = "no such file: " + path;
        return false;
    }
    if (!S_ISREG(info.st_mode) || ::access(path.c_str(), X_OK) != 0) {
        lastLaunchError_ = "not an executable program: " + path;
        return false;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(QFile::decodeName(path.c_str()), QStringList{},
                                 QFile::decodeName(workingFolder.c_str()), &pid)) {
        lastLaunchError_ = "could not be started: " + path;
        return false;
    }
    return true;
}

} // namespace trelk
