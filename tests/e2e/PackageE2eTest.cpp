// The Debian package as a pilot installs it: packed from this build, unpacked into a throw-away
// root, its files, desktop entry and dependencies checked, and the installed program started
// under a virtual X server with a home folder of the test's own.

#include "E2eTestSupport.h"
#include "support/SharedBlockNames.h"
#include "support/TempFolder.h"

#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <utility>

namespace trelk::e2e {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

// Width and height from a PNG file's header; (0, 0) when it is not one.
std::pair<int, int> PngSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::array<unsigned char, 24> header{};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size()) || header[1] != 'P' ||
        header[2] != 'N' || header[3] != 'G') {
        return {0, 0};
    }
    auto bigEndian = [&](std::size_t at) {
        return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3];
    };
    return {bigEndian(16), bigEndian(20)};
}

class PackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        int status = -1;
        const std::string packed =
            capture(std::string(TRELK_CPACK_COMMAND) + " --config " + TRELK_CPACK_CONFIG + " -B " +
                        work.dir() + "pack 2>&1",
                    &status);
        ASSERT_EQ(status, 0) << packed;
        package = capture("ls " + work.dir() + "pack/trelkpro_*.deb | tr -d '\\n'");
        ASSERT_FALSE(package.empty()) << packed;
        ASSERT_EQ(std::system(("dpkg-deb -x " + package + " " + root()).c_str()), 0);
    }
    std::string root() const { return work.dir() + "root"; }
    std::string programDir() const { return root() + "/usr/lib/trelkpro/"; }

    testing::TempFolder work;
    std::string package;
};

TEST_F(PackageTest, ThePackageHoldsTheProgramItsToolsAndTheDesktopFilesAndNeedsRuntimeOnly) {
    const std::string files = capture("dpkg-deb -c " + package);
    for (const char* path : {"./usr/lib/trelkpro/trelkpro",
                             "./usr/lib/trelkpro/TrkHook.so",
                             "./usr/lib/trelkpro/nexacomms.so",
                             "./usr/lib/trelkpro/trelkpro.html",
                             "./usr/lib/trelkpro/vorel.bmp",
                             "./usr/lib/trelkpro/per-user-folders",
                             "./usr/lib/trelkpro/trelkpro.ini",
                             "./usr/lib/trelkpro/Data/MyLumacor.dat",
                             "./usr/lib/trelkpro/Data/SearchPatterns.dat",
                             "./usr/lib/trelkpro/Data/StationInfo.dat",
                             "./usr/bin/trelkpro -> ../lib/trelkpro/trelkpro",
                             "./usr/bin/trelk-reg",
                             "./usr/bin/trelk-addon-check",
                             "./usr/share/trelkpro/addon-kit/trelkaddon.py",
                             "./usr/share/applications/trelkpro.desktop",
                             "./usr/share/icons/hicolor/16x16/apps/trelkpro.png",
                             "./usr/share/icons/hicolor/22x22/apps/trelkpro.png",
                             "./usr/share/icons/hicolor/24x24/apps/trelkpro.png",
                             "./usr/share/icons/hicolor/32x32/apps/trelkpro.png",
                             "./usr/share/icons/hicolor/256x256/apps/trelkpro.png",
                             "./usr/share/doc/trelkpro/copyright"}) {
        EXPECT_THAT(files, HasSubstr(path));
    }
    // What only developers run stays out.
    for (const char* path : {"voidline-sim", "trelk-services", "bench_", "_tests", "make-"}) {
        EXPECT_THAT(files, Not(HasSubstr(path)));
    }

    const std::string depends = capture("dpkg-deb -f " + package + " Depends");
    for (const char* runtime :
         {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libqt6dbus6", "libqt6multimedia6",
          "libqt6webengine", "libcurl4", "libsqlite3-0", "libx11-6", "xdg-utils"}) {
        EXPECT_THAT(depends, HasSubstr(runtime));
    }
    EXPECT_THAT(depends, Not(HasSubstr("-dev"))) << depends;

    int status = -1;
    const std::string validation =
        capture("desktop-file-validate " + root() + "/usr/share/applications/trelkpro.desktop 2>&1",
                &status);
    EXPECT_EQ(status, 0) << validation;
    EXPECT_EQ(validation, "");
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size);
        EXPECT_EQ(PngSize(root() + "/usr/share/icons/hicolor/" + side + "x" + side +
                          "/apps/trelkpro.png"),
                  std::make_pair(size, size));
    }
}

TEST_F(PackageTest, TheInstalledProgramKeepsThePilotsFilesInTheXdgFoldersOfItsHome) {
    // Asked for its version or help it prints and ends, without any display.
    int status = -1;
    const std::string version =
        capture("env -u DISPLAY " + root() + "/usr/bin/trelkpro --version", &status);
    EXPECT_EQ(status, 0);
    EXPECT_THAT(version,
                ::testing::MatchesRegex("trelkpro [0-9.]+ \\(Trelk Pro [0-9.]+ Beta\\)\n"));
    EXPECT_THAT(capture("env -u DISPLAY " + root() + "/usr/bin/trelkpro --help", &status),
                HasSubstr("~/.local/share}/TrelkPro/"));
    EXPECT_EQ(status, 0);

    VirtualDisplay display;
    testing::SharedBlockNames blocks("package");
    const std::string home = work.dir() + "home";
    fs::create_directory(home);
    const std::string shippedSettings = capture("cat " + programDir() + "trelkpro.ini");
    {
        // A pilot's session: the test's own variables that move files are gone, HOME is the
        // test's (env replaces it; a second HOME added to the environment would not).
        ChildProcess app("/usr/bin/env",
                         {"-u", "XDG_CONFIG_HOME", "-u", "XDG_DATA_HOME", "-u", "TRELK_APP_DIR",
                          "-u", "TRELK_REGISTRY", "HOME=" + home, display.env(), blocks.env(),
                          "QT_QPA_PLATFORM=xcb", root() + "/usr/bin/trelkpro"},
                         {});
        const std::string data = home + "/.local/share/TrelkPro/";
        const std::string config = home + "/.config/TrelkPro/";
        EXPECT_TRUE(waitUntil([&] {
            return fs::is_directory(data + "Log") && fs::is_directory(data + "Photo") &&
                   fs::exists(config + "registry.db");
        })) << "the installed program did not make the pilot's folders";
        EXPECT_TRUE(waitUntil([&] {
            return capture(display.env() + " xdotool search --name '^Trelk Pro [0-9.]+ Beta$'") !=
                   "";
        })) << "the installed program showed no window";
        for (const char* seeded : {"Data/MyLumacor.dat", "Data/SearchPatterns.dat",
                                   "Data/StationInfo.dat", "vorel.bmp"}) {
            EXPECT_TRUE(fs::exists(data + seeded)) << seeded;
        }
        app.signal(SIGTERM);
        EXPECT_EQ(app.wait(20s), 0);
        // The sample lists named at the first start, the settings saved at the close.
        const std::string settings = capture("cat " + config + "trelkpro.ini");
        EXPECT_THAT(settings, HasSubstr("RoidFiles=MyLumacor.dat;"));
        EXPECT_THAT(settings, HasSubstr("[Scanner]"));
    }
    // The program's folder is as the package made it.
    EXPECT_FALSE(fs::exists(programDir() + "Log"));
    EXPECT_FALSE(fs::exists(programDir() + "Photo"));
    EXPECT_EQ(capture("cat " + programDir() + "trelkpro.ini"), shippedSettings);
}

} // namespace
} // namespace trelk::e2e
