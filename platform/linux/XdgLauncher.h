#pragma once

#include "platform/ports/Launcher.h"

namespace trelk {

// Opens documents with the desktop's associated program through xdg-open, started detached so
// that it outlives nothing of ours. When TRELK_OPEN_COMMAND is set (read at each call), that
// program is started instead, with the path as its single argument.
class XdgLauncher final : public Launcher {
public:
    bool openDocument(const std::string& path) override;
};

} // namespace trelk
