#pragma once

#include "platform/ports/Launcher.h"

#include <string>
#include <vector>

namespace trelk {

// Opens documents with the desktop's associated program through xdg-open, started detached so
// that it outlives nothing of ours. When TRELK_OPEN_COMMAND is set (read at each call), that
// program is started instead, with the path as its single argument.
class XdgLauncher final : public Launcher {
public:
    bool openDocument(const std::string& path) override;
    // The program must be an executable regular file or a desktop launcher (".desktop"), whose
    // Exec line is run in its own Path or else in workingFolder; it is started detached.
    bool startProgram(const std::string& path, const std::string& workingFolder) override;
    std::string lastLaunchError() const override { return lastLaunchError_; }

private:
    bool startDesktopEntry(const std::string& path, const std::string& workingFolder);
    bool startDetached(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& workingFolder);

    std::string lastLaunchError_;
};

} // namespace trelk
