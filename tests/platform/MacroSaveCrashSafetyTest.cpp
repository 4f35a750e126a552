// The macros and the command list live in the settings file on a real disk: a process killed
// at any moment of storing a macro or saving the command list leaves one whole settings file
// with every other section in it, and a full disk fails the save, says so and changes nothing.

#include "core/IniFile.h"
#include "macros/CommandList.h"
#include "macros/KeyStringSender.h"
#include "macros/MacroEditor.h"
#include "macros/MacroTable.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/sim/SimPlatform.h"
#include "support/RewriteKills.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <vector>

namespace trelk {
namespace {

namespace fs = std::filesystem;

// The dispatcher's key state with nothing held: macros are stored from the dialog.
class NothingHeld final : public MacroKeyState {
public:
    bool MacroKeyHeld() const override { return false; }
    bool MacroKeyArmed() const override { return false; }
    bool ShiftHeld() const override { return false; }
    const std::string& TypedLine() const override { return line_; }
    void MarkMacroPending() override {}
    void MarkChannelF5Pending() override {}
    void ClearTypedLine() override {}
    void ReleaseMacroKey() override {}
    void ReleaseShift() override {}
    void DisarmBackspace() override {}

private:
    std::string line_;
};

// The macro table and the command list over the real settings file; keys and timers are the
// sim platform's, nothing is typed here.
struct MacroFiles {
    explicit MacroFiles(const std::string& settingsPath) : path(settingsPath) {
        table.LoadMacros();
        commands.Load();
    }
    void setCommands(const std::string& prefix, int count) {
        commands.Clear();
        for (int n = 0; n < count; ++n) {
            commands.AppendEntry(prefix + " " + std::to_string(n));
        }
    }

    std::string path;
    LinuxFileSystem files;
    SimPlatform platform;
    KeyStringSender sender{platform.keyboard(), platform.eventLoop(), {}};
    NothingHeld keys;
    std::vector<std::string> reports;
    MacroTable table{files,  path,
                     sender, platform.timers(),
                     keys,   [this](const std::string& m) { reports.push_back(m); }};
    CommandList commands{
        files, path, {}, {}, [this](const std::string& m) { reports.push_back(m); }};
};

// A settings file with the program's other sections and another owner's, padded so that a
// rewrite of it needs more than one page of the disk.
std::string OtherSections() {
    return "[Setup]\nInstallCode=AAAAAAAAAAAAAAAAAAAAAA\nLogEnabled=1\n"
           "[Other]\nKept=" +
           std::string(9000, 'k') + "\n[Commands]\nCmdList=/first;/second;\n";
}

std::string MacroText(char letter) {
    return "2:" + std::string(1, letter) + " is the macro text, " + std::string(80, letter);
}

class MacroSaveCrashSafetyTest : public ::testing::Test {
protected:
    void SetUp() override { folder.write("TrelkPro.ini", OtherSections()); }

    // The two files that alternating saves write, after one of each.
    std::pair<std::string, std::string> versions(const std::function<bool(int)>& round) {
        EXPECT_TRUE(round(0));
        const std::string b = testing::ReadWhole(path);
        EXPECT_TRUE(round(1));
        return {testing::ReadWhole(path), b};
    }

    void killWhileSaving(const std::function<bool(int)>& round, const char* what) {
        const auto [fileA, fileB] = versions(round);
        ASSERT_NE(fileA, fileB);
        const long roundUs = testing::AverageUs([&] {
                                 round(0);
                                 round(1);
                             }) /
                             2;
        testing::VersionsSeen seen;
        EXPECT_TRUE(testing::KillWhileRewriting(
            testing::KillsPerFile, roundUs, 20261210, round,
            testing::HoldsOneOfTwoVersions(path, fileA, fileB, folder.path(), "TrelkPro.ini",
                                           "file", seen)));
        std::cout << testing::KillsPerFile << " kills over " << what << " of " << roundUs
                  << " us: " << seen.newer << " with the other version, " << seen.unfinished
                  << " in the middle of a save\n";
        EXPECT_GT(seen.newer, 0);
        EXPECT_GT(seen.unfinished, 0) << "no kill landed inside a save";
        EXPECT_EQ(IniFile::fromText(testing::ReadWhole(path)).readString("Other", "Kept", ""),
                  std::string(9000, 'k'));
    }

    testing::TempFolder folder{testing::KillTestRoot()};
    const std::string path = folder.file("TrelkPro.ini");
};

TEST_F(MacroSaveCrashSafetyTest, KilledWhileStoringAMacroLeavesOneWholeSettingsFile) {
    MacroFiles macros(path);
    const auto store = [&](int n) {
        return macros.table.StoreMacro(3, MacroText(n % 2 == 0 ? 'b' : 'a'), n % 2 == 0).stored();
    };
    ASSERT_TRUE(store(0));
    const std::string entryB = macros.table.entry(3);
    ASSERT_TRUE(store(1));
    const std::string entryA = macros.table.entry(3);
    killWhileSaving(store, "macro stores");

    // The next start reads one of the two macros, and the next store clears what was left.
    MacroFiles next(path);
    EXPECT_TRUE(next.table.entry(3) == entryA || next.table.entry(3) == entryB)
        << next.table.entry(3);
    ASSERT_TRUE(next.table.StoreMacro(3, MacroText('c'), false).stored());
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(MacroSaveCrashSafetyTest, KilledWhileSavingTheCommandListLeavesOneWholeSettingsFile) {
    MacroFiles a(path);
    a.setCommands("/alpha command", 30);
    MacroFiles b(path);
    b.setCommands("/bravo command with a longer text", 50);
    killWhileSaving([&](int n) { return (n % 2 == 0 ? b : a).commands.Save(); },
                    "command list saves");

    MacroFiles next(path);
    EXPECT_TRUE(next.commands.Entries() == a.commands.Entries() ||
                next.commands.Entries() == b.commands.Entries());
    ASSERT_TRUE(next.commands.Save());
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(MacroSaveCrashSafetyTest, AFullDiskFailsTheMacroAndTheCommandListSavesAndSaysSo) {
    TRELK_EXPECT_ON_FULL_DISK([](const std::string& disk) -> std::string {
        const std::string file = disk + "/TrelkPro.ini";
        {
            LinuxFileSystem files;
            if (!files.replaceFile(file, OtherSections()).ok) {
                return "no settings file";
            }
        }
        MacroFiles macros(file);
        if (!macros.table.StoreMacro(3, MacroText('a'), false).stored()) {
            return "the first macro was not stored";
        }
        const std::string before = testing::ReadWhole(file);
        const std::string entry = macros.table.entry(3);
        // Room for part of the file only: the rewrite fails half-way.
        if (!testing::FillDisk(disk, 4096)) {
            return "the disk did not fill";
        }
        const std::string told = "Unable to write to " + file + ": No space left on device";

        // The macro dialog's Save: the dialog shows why and the macro keeps its old text.
        MacroEditor editor(macros.table);
        editor.Open(3);
        editor.Text = "the new text";
        const MacroEditor::SaveResult saved = editor.Save();
        if (saved.outcome != MacroEditor::SaveResult::Outcome::Failed ||
            saved.message != "Macro 3 was not stored: " + told) {
            return "the macro dialog was not told: " + saved.message;
        }
        if (macros.table.entry(3) != entry) {
            return "the macro changed although it was not stored";
        }

        macros.setCommands("/new", 5);
        if (macros.commands.Save()) {
            return "a command list save on a full disk was reported as done";
        }
        if (macros.reports.size() != 1 ||
            macros.reports[0] != "The command list was not saved. " + told) {
            return "the command list save was not reported: " +
                   (macros.reports.empty() ? "" : macros.reports.back());
        }
        if (testing::ReadWhole(file) != before) {
            return "the settings file changed";
        }
        return fs::exists(file + ".tmp") ? "a temporary file was left on the full disk" : "";
    });
}

} // namespace
} // namespace trelk
