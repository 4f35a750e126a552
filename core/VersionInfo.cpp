#include "VersionInfo.h"

#include "core/BuildVersion.h"

namespace trelk {

std::string VersionInfo::caption() const {
    return productName + " " + versionText + "." + buildText + " Beta";
}

std::string VersionInfo::aboutVersionLine() const {
    return "Version " + versionText + " (Build " + buildText + ")";
}

std::string VersionInfo::aboutDateLine() const {
    return "Dated : " + fileDate;
}

VersionInfo MakeVersionInfo(const std::string& productName, int major, int minor, int build,
                            const std::string& fileDate) {
    std::string minorText = minor < 10 ? "0" : "";
    minorText += std::to_string(minor);
    return VersionInfo{productName, std::to_string(major) + "." + minorText, std::to_string(build),
                       fileDate};
}

VersionInfo BuildVersionInfo(const std::string& fileDate) {
    return MakeVersionInfo(build::ProductName, build::VersionMajor, build::VersionMinor,
                           build::BuildNumber, fileDate);
}

} // namespace trelk
