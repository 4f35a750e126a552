#include "core/IniFile.h"
#include "core/SettingsStore.h"
#include "platform/linux/LinuxFileSystem.h"
#include "support/KilledChild.h"
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
    testing::TempFolder folder_;
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

    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> delayUs(0, 4000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    int kills = 0;
    int temporaryFilesSeen = 0;
    for (; kills < 200 && std::chrono::steady_clock::now() < deadline; ++kills) {
        ASSERT_TRUE(testing::RunUntilKilled(
            [&](int round) { return SaveAll(store, round % 2 == 0 ? b_ : a_); },
            static_cast<useconds_t>(delayUs(random))))
            << "the saving child failed on its own";

        const std::string text = ReadFile(path_);
        ASSERT_EQ(versions.count(text), 1U) << "after kill " << kills << ":\n" << text;
        temporaryFilesSeen += fs::exists(path_ + ".tmp") ? 1 : 0;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            ASSERT_TRUE(name == "TrelkPro.ini" || name == "TrelkPro.ini.tmp") << name;
        }
        const Settings loaded = store.Load();
        ASSERT_TRUE(loaded.Console == a_.Console || loaded.Console == b_.Console);
    }
    EXPECT_GE(kills, 20);
    std::cout << kills << " kills, " << temporaryFilesSeen << " with a temporary file left\n";

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
        ::_exit(result.ok ? 1 : result.message == "Unable to write to " + path_ ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: reported success, 2: wrong message";
    EXPECT_EQ(ReadFile(path_), before);
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
}

} // namespace
} // namespace trelk
