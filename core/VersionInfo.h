#pragma once

#include <string>

namespace trelk {

// The version strings, read once at start-up and shown in the caption, the tray hint and the
// About dialog.
struct VersionInfo {
    std::string productName;
    std::string versionText; // "3.11", "3.05"
    std::string buildText;   // "3"
    std::string fileDate;

    // "Trelk Pro 3.11.3 Beta": the caption and the tray hint.
    std::string caption() const;
    // "Version 3.11 (Build 3)"
    std::string aboutVersionLine() const;
    // "Dated : <file date>"
    std::string aboutDateLine() const;
};

VersionInfo MakeVersionInfo(const std::string& productName, int major, int minor, int build,
                            const std::string& fileDate);

// The version this program was built as.
VersionInfo BuildVersionInfo(const std::string& fileDate);

} // namespace trelk
