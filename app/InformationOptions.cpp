#include "InformationOptions.h"

#include "core/BuildVersion.h"
#include "core/VersionInfo.h"

#include <string_view>

namespace trelk {

namespace {

std::string VersionText() {
    const std::string number =
        std::to_string(build::VersionMajor) + "." + std::to_string(build::VersionMinor) + "." +
        std::to_string(build::VersionRelease) + "." + std::to_string(build::BuildNumber);
    return "trelkpro " + number + " (" + BuildVersionInfo("").caption() + ")\n";
}

constexpr const char* HelpText =
    R"(Usage: trelkpro [--version] [--help]

TrelkPro lives in the notification area beside the game Voidline: it sees the keys pressed
in the game, runs its slash commands from the chat line and draws its console into the game.
Started without arguments it shows its window and its tray icon; a second start while it
runs ends at once.

Files:
  A folder the pilot owns (an unpacked copy): the settings file trelkpro.ini and the folders
  Data, Log and Photo live beside the executable.
  An installed program: the settings in ${XDG_CONFIG_HOME:-~/.config}/TrelkPro/, the folders
  Data, Log and Photo in ${XDG_DATA_HOME:-~/.local/share}/TrelkPro/; the first start copies
  the sample data there.
  Add-ons exchange values with TrelkPro in ${XDG_CONFIG_HOME:-~/.config}/TrelkPro/registry.db.

Environment:
  TRELK_APP_DIR     the folder for the settings, Data, Log and Photo, in every case
  TRELK_REGISTRY    the add-on exchange's database file
  TRELK_TRACE_FILE  append the debug trace to this file (it holds the keys typed in the game)

  --version         print the version and exit
  -h, --help        print this help and exit
)";

} // namespace

std::optional<std::string> InformationRequested(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--version") {
            return VersionText();
        }
        if (argument == "--help" || argument == "-h") {
            return std::string(HelpText);
        }
    }
    return std::nullopt;
}

} // namespace trelk
