#pragma once

#include <string>

namespace trelk {

// Opens documents and starts programs through the desktop shell.
class Launcher {
public:
    virtual ~Launcher() = default;

    // Opens a document with the program associated with its type. False when nothing could be
    // started (missing file, no associated program).
    virtual bool openDocument(const std::string& path) = 0;
};

} // namespace trelk
