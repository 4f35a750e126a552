#include "XdgLauncher.h"

#include "DesktopEntry.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
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
    if (S_ISREG(info.st_mode) && IsDesktopEntryPath(path)) {
        return startDesktopEntry(path, workingFolder);
    }
    if (!S_ISREG(info.st_mode) || ::access(path.c_str(), X_OK) != 0) {
        lastLaunchError_ = "not an executable program: " + path;
        return false;
    }
    return startDetached(path, {}, workingFolder);
}

bool XdgLauncher::startDesktopEntry(const std::string& path, const std::string& workingFolder) {
    QFile file(QFile::decodeName(path.c_str()));
    if (!file.open(QIODevice::ReadOnly)) {
        lastLaunchError_ = "cannot read the launcher " + path;
        return false;
    }
    const QByteArray text = file.readAll();
    std::optional<DesktopLaunch> launch =
        ParseDesktopEntry(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                          path, lastLaunchError_);
    if (!launch) {
        return false;
    }
    std::string program = launch->arguments.front();
    if (program.find('/') == std::string::npos) {
        program =
            QFile::encodeName(QStandardPaths::findExecutable(QFile::decodeName(program.c_str())))
                .toStdString();
        if (program.empty()) {
            lastLaunchError_ = "the program " + launch->arguments.front() + " of the launcher " +
                               path + " is not on the PATH";
            return false;
        }
    }
    launch->arguments.erase(launch->arguments.begin());
    return startDetached(program, launch->arguments,
                         launch->workingFolder.empty() ? workingFolder : launch->workingFolder);
}

bool XdgLauncher::startDetached(const std::string& program,
                                const std::vector<std::string>& arguments,
                                const std::string& workingFolder) {
    QStringList qtArguments;
    for (const std::string& argument : arguments) {
        qtArguments << QFile::decodeName(argument.c_str());
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(QFile::decodeName(program.c_str()), qtArguments,
                                 QFile::decodeName(workingFolder.c_str()), &pid)) {
        lastLaunchError_ = "could not be started: " + program;
        return false;
    }
    return true;
}

} // namespace trelk
