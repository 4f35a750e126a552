#include "core/IniFile.h"
#include "core/SettingsStore.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/RewriteKills.h"
#include "support/TempFolder.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <random>
#include <set>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trelk {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class SettingsCrashSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        a_ = SettingsStore(files_, path_, dir_.string() + "/").Defaults();
        a_.Scanner.RadarWavFileName = "/sounds/a.wav";
        b_ = a_;
        b_.Setup.InstallCode = "BBBBBBBBBBBBBBBBBBBBBB";
        b_.Setup.LogEnabled = true;
        b_.Scanner.ScanColor = 3;
        b_.Scanner.RadarWavFileName = "/sounds/a much longer alarm file name.wav";
        b_.Console.Font = "Another Font With A Long Name";
        b_.Console.ConsoleBMP = "/pictures/background-" + std::string(200, 'b') + ".bmp";
        b_.KeyMap.KM.fill(-1);
    }

    // A file written by every group with version A, plus another owner's section.
    void writeInitialFile(const std::string& path) {
        std::ofstream(path, std::ios::binary) << "[Macros]\nF1String=/lumacor 1 2 3\n";
        SaveAll(SettingsStore(files_, path, dir_.string() + "/"), a_);
    }

    static bool SaveAll(const SettingsStore& store, const Settings& s) {
        return store.SaveSetupGroup(s).ok && store.SaveKeyMapGroup(s).ok &&
               store.SaveConsoleGroup(s).ok && store.SaveScannerGroup(s).ok;
    }

    // Every file content the saving loop can leave between two of its saves.
    std::set<std::string> completeVersions() {
        const std::string scratch = (dir_ / "scratch.ini").string();
        writeInitialFile(scratch);
        std::set<std::string> versions{ReadFile(scratch)};
        const SettingsStore store(files_, scratch, dir_.string() + "/");
        for (int round = 0; round < 6; ++round) {
            const Settings& s = round % 2 == 0 ? b_ : a_;
            for (const auto& save :
                 {&SettingsStore::SaveSetupGroup, &SettingsStore::SaveKeyMapGroup,
                  &SettingsStore::SaveConsoleGroup, &SettingsStore::SaveScannerGroup}) {
                EXPECT_TRUE((store.*save)(s).ok);
                versions.insert(ReadFile(scratch));
            }
        }
        fs::remove(scratch);
        return versions;
    }

    // The real disk: what is killed here is the program's own replacement of the file.
    LinuxFileSystem files_;
    testing::TempFolder folder_{testing::KillTestRoot()};
    const fs::path dir_ = folder_.path();
    const std::string path_ = folder_.file("TrelkPro.ini");
    Settings a_;
    Settings b_;
};

TEST_F(SettingsCrashSafetyTest, KilledWhileSavingLeavesACompleteVersion) {
    const std::set<std::string> versions = completeVersions();
    ASSERT_GE(versions.size(), 8U);
    writeInitialFile(path_);
    const SettingsStore store(files_, path_, dir_.string() + "/");

    const auto round = [&](int n) { return SaveAll(store, n % 2 == 0 ? b_ : a_); };
    const long roundUs = testing::AverageUs([&] {
                             round(0);
                             round(1);
                         }) /
                         2;
    int temporaryFilesSeen = 0;
    EXPECT_TRUE(
        testing::KillWhileRewriting(testing::KillsPerFile, roundUs, 20240601, round, [&](int) {
            const std::string text = testing::ReadWhole(path_);
            if (versions.count(text) != 1) {
                return ::testing::AssertionFailure() << "not a saved version:\n" << text;
            }
            temporaryFilesSeen += fs::exists(path_ + ".tmp") ? 1 : 0;
            const Settings loaded = store.Load();
            if (loaded.Console != a_.Console && loaded.Console != b_.Console) {
                return ::testing::AssertionFailure() << "the console group loads mixed";
            }
            return testing::FolderHoldsOnly(dir_, {"TrelkPro.ini"});
        }));
    std::cout << testing::KillsPerFile << " kills over rounds of four saves of " << roundUs
              << " us, " << temporaryFilesSeen << " with a temporary file left\n";
    EXPECT_GT(temporaryFilesSeen, 0) << "no kill landed inside a save";

    // The next save after a crash cleans up, and the other owner's section is still there.
    ASSERT_TRUE(SaveAll(store, a_));
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    EXPECT_EQ(store.Load(), a_);
    EXPECT_EQ(IniFile::fromText(ReadFile(path_)).readString("Macros", "F1String", ""),
              "/lumacor 1 2 3");
}

TEST_F(SettingsCrashSafetyTest, FullDiskFailsTheSaveAndKeepsTheOldFile) {
    writeInitialFile(path_);
    const std::string before = ReadFile(path_);
    ASSERT_LT(before.size(), 4096U);
    const SettingsStore store(files_, path_, dir_.string() + "/");

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Running as root, a read-only folder would not stop the write; a file size limit does.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Settings large = a_;
        large.Console.Font = std::string(64 * 1024, 'F');
        const SaveResult result = store.SaveConsoleGroup(large);
        ::_exit(result.ok                                                              ? 1
                : result.message == "Unable to write to " + path_ + ": File too large" ? 0
                                                                                       : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: reported success, 2: wrong message";
    EXPECT_EQ(ReadFile(path_), before);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

TEST_F(SettingsCrashSafetyTest, AFullTmpfsFailsEverySaveSaysSoAndKeepsTheOldFile) {
    TRELK_EXPECT_ON_FULL_DISK([this](const std::string& disk) -> std::string {
        const std::string file = disk + "/TrelkPro.ini";
        writeInitialFile(file);
        const std::string before = testing::ReadWhole(file);
        const SettingsStore store(files_, file, disk + "/");
        if (!testing::FillDisk(disk)) {
            return "the disk did not fill";
        }
        for (const auto& save :
             {&SettingsStore::SaveSetupGroup, &SettingsStore::SaveKeyMapGroup,
              &SettingsStore::SaveConsoleGroup, &SettingsStore::SaveScannerGroup}) {
            const SaveResult result = (store.*save)(b_);
            if (result.ok) {
                return "a save on a full disk was reported as done";
            }
            if (result.message != "Unable to write to " + file + ": No space left on device") {
                return "not told: " + result.message;
            }
        }
        if (testing::ReadWhole(file) != before) {
            return "the settings file changed";
        }
        if (fs::exists(file + ".tmp")) {
            return "a temporary file was left on the full disk";
        }
        fs::remove(disk + "/filler");
        return SaveAll(store, b_) && store.Load() == b_ ? "" : "no save once there was room";
    });
}

} // namespace
} // namespace trelk
