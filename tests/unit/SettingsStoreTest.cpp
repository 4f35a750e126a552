#include "core/SettingsStore.h"

#include "platform/sim/SimFileSystem.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStoreTest() { files_.addFolder(appDir_); }

    SettingsStore store() { return SettingsStore(files_, path_, appDir_); }
    void writeFile(const std::string& bytes) { files_.addFile(path_, bytes); }
    std::string readFile() const { return files_.file(path_).value_or(""); }

    SimFileSystem files_;
    std::string appDir_ = "/sim/TrelkPro/";
    std::string path_ = appDir_ + "TrelkPro.ini";
};

// Every key the groups write gets a value of its own; booleans are mixed, so that a key wired to
// the wrong field shows in the file.
Settings Changed(Settings s) {
    s.Setup.InstallCode = "CODE1234567890123456789";
    s.Setup.AutoRunVL = s.Setup.ProxyEnabled = s.Setup.MarketEnable = s.Setup.PhotoEnabled = true;
    s.Setup.DBAutoUpdate = false;
    s.Setup.MarketUpdateInterval = 7;
    s.DataList.LoadData = 3;
    s.Scanner = {false, true, true, 4, "/snd/alarm.wav", 2};
    s.Console = {true,      false,          200,  64,   40, 50, 0x112233, 0x445566, 0x778899, 11,
                 "Courier", "/pics/bg.bmp", true, false};
    for (std::size_t i = 0; i < kKeyMapSize; ++i) {
        s.KeyMap.KM[i] = static_cast<int>(100 + i);
    }
    s.KeyMap.KM[0] = -1;
    return s;
}

SaveResult SaveAll(const SettingsStore& store, const Settings& s) {
    for (const auto& result : {store.SaveSetupGroup(s), store.SaveKeyMapGroup(s),
                               store.SaveConsoleGroup(s), store.SaveScannerGroup(s)}) {
        if (!result.ok) {
            return result;
        }
    }
    return {true, {}};
}

TEST_F(SettingsStoreTest, NoFileGivesTheDefaultsAndCreatesNothing) {
    const Settings s = store().Load();
    EXPECT_EQ(s.KeyMap.KM,
              (std::array<int, kKeyMapSize>{301, 293, 295, 294, 296, 19,  145, 106, 109, 255, 255,
                                            255, 255, 255, 255, 255, 255, 255, 255, 255, 255}));
    EXPECT_EQ(s.Console.BMPTransperancy, 170);
    EXPECT_EQ(s.Console.ConsoleBMP, appDir_ + "vorel.bmp");
    EXPECT_TRUE(s.Console.DebugState);
    EXPECT_TRUE(s.Setup.DBAutoUpdate);
    EXPECT_EQ(s.Setup.TrkDate, "00-00-00");
    EXPECT_EQ(s.Setup.MarketServer, "US");
    EXPECT_EQ(s.Setup.DatabaseURL, std::string(kDatabaseServerHost) + "/html/rawdata2.php ");
    EXPECT_EQ(s.Setup.DBDateURL, std::string(kDatabaseServerHost) + "/dblastchange.txt ");
    EXPECT_EQ(s.Setup.ALDWYNURL, std::string(kMarketServerHost) + "/trlp/inv/vinventory.txt");
    EXPECT_EQ(s, store().Defaults());
    EXPECT_EQ(files_.kindOf(path_), PathKind::Missing);
}

TEST_F(SettingsStoreTest, HandEditedValuesAreReadAndBadOnesFallBack) {
    writeFile("[Scanner]\nScanColor=seven\nScanIndicator=5\nSRadarAlarmWAV=2\n"
              "[KeyMap]\nKM1=-1\nKM2=$12D\nKM3=\n[Setup]\nMarketServer=EU\nLogBufSize=0x20\n"
              "DatabaseURL=http://mirror/raw\n");
    const Settings s = store().Load();
    EXPECT_EQ(s.Scanner.ScanColor, 1);
    EXPECT_EQ(s.Scanner.ScanIndicator, 5);
    EXPECT_TRUE(s.Scanner.SRadarAlarmWAV);
    EXPECT_EQ(s.KeyMap.KM[0], -1);
    EXPECT_EQ(s.KeyMap.KM[1], 301);
    EXPECT_EQ(s.KeyMap.KM[2], 295);
    EXPECT_EQ(s.Setup.MarketServer, "US") << "never read";
    EXPECT_EQ(s.Setup.LogBufSize, 32);
    EXPECT_EQ(s.Setup.DatabaseURL, "http://mirror/raw");
}

TEST_F(SettingsStoreTest, GroupsWriteTheirKeysInWritingOrder) {
    const Settings s = Changed(store().Defaults());
    Settings otherServer = s;
    otherServer.Setup.MarketServer = "EU"; // there is only "US"
    ASSERT_TRUE(SaveAll(store(), otherServer).ok);

    // LoadData is written between the Setup keys; the later Setup keys go back to their section.
    std::string expected = "[Setup]\nInstallCode=CODE1234567890123456789\nLogEnabled=0\n"
                           "AutoRunVL=1\nAutoExitTRL=0\nProxyEnabled=1\nMarketServer=US\n"
                           "MarketUpdateInterval=7\nMarketEnable=1\nPhotoEnabled=1\n"
                           "DBAutoUpdate=0\n\n[DataList]\nLoadData=3\n\n[KeyMap]\nKM1=-1\n";
    for (int i = 2; i <= 21; ++i) {
        expected += "KM" + std::to_string(i) + "=" + std::to_string(99 + i) + "\n";
    }
    expected += "\n[Console]\nBMPTransperancy=200\nConOpenSpeed=64\nPositionX=40\n"
                "PositionY=50\nTextColor=1122867\nHighLightColor=4478310\n"
                "MarkerColor=7833753\nFontSize=11\nFont=Courier\nConsoleBMP=/pics/bg.bmp\n"
                "EscRefresh=1\nAASafe=1\nWideConsole=0\nDebugState=0\n\n"
                "[Scanner]\nSRadarAlarmPU=1\nSRadarAlarmWAV=0\nSRadarAlarmRepeat=1\n"
                "RadarWavFileName=/snd/alarm.wav\nScanColor=4\nScanIndicator=2\n";
    EXPECT_EQ(readFile(), expected);

    EXPECT_EQ(store().Load(), s);

    // Saving again changes nothing: existing keys are rewritten in place.
    ASSERT_TRUE(SaveAll(store(), s).ok);
    EXPECT_EQ(readFile(), expected);
}

TEST_F(SettingsStoreTest, SavingKeepsForeignSectionsKeysAndPlaces) {
    const std::string macros = "[Macros]\nF1Channel=3\nF1String=/lumacor 10 20 30\nF1Return=1\n";
    const std::string commands = "[Commands]\nCmdList=/who;/time;\n";
    writeFile("[Setup]\nAutoStart=/games/vl/run.sh\nLogEnabled=1\nProxyURL=proxy.lan\n"
              "ProxyPort=8080\nTrkDate=24-01-02\nMyOwnKey=mine\n\n" +
              macros + "\n[Scanner]\nRadarWavFileName=/snd/ping.wav\nScanColor=2\n\n" + commands +
              "\n[DataList]\nRoidFiles=roids.txt;\n");

    Settings s = store().Load();
    s.Setup.LogEnabled = false;
    s.Scanner.RadarWavFileName.clear(); // an empty name must not replace the stored one
    ASSERT_TRUE(SaveAll(store(), s).ok);

    const std::string text = readFile();
    EXPECT_NE(text.find(macros), std::string::npos) << text;
    EXPECT_NE(text.find(commands), std::string::npos) << text;
    EXPECT_EQ(text.rfind("[Setup]\nAutoStart=/games/vl/run.sh\nLogEnabled=0\nProxyURL=proxy.lan\n"
                         "ProxyPort=8080\nTrkDate=24-01-02\nMyOwnKey=mine\nInstallCode=\n",
                         0),
              0U)
        << text;
    const Settings reread = store().Load();
    EXPECT_EQ(reread.Scanner.RadarWavFileName, "/snd/ping.wav");
    EXPECT_EQ(reread.DataList.RoidFiles, "roids.txt;");
    s.Scanner.RadarWavFileName = "/snd/ping.wav";
    EXPECT_EQ(reread, s);
}

TEST_F(SettingsStoreTest, FailedSaveReportsTheFileName) {
    const std::string nowhere = appDir_ + "missing/TrelkPro.ini";
    const SettingsStore broken(files_, nowhere, appDir_);
    for (const SaveResult& result :
         {broken.SaveSetupGroup(broken.Defaults()), broken.SaveScannerGroup(broken.Defaults()),
          broken.SaveKeyMapGroup(broken.Defaults()), broken.SaveConsoleGroup(broken.Defaults())}) {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, "Unable to write to " + nowhere + ": No such file or directory");
    }
}

TEST_F(SettingsStoreTest, UnreadableFileIsReportedAndNotOverwritten) {
    files_.addFolder(path_);
    std::string problem;
    EXPECT_EQ(store().Load(problem), store().Defaults());
    EXPECT_FALSE(problem.empty());
    const SaveResult result = store().SaveConsoleGroup(store().Defaults());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Unable to write to " + path_);
    EXPECT_EQ(files_.kindOf(path_), PathKind::Folder);
}

TEST_F(SettingsStoreTest, OneReplacementForSeveralGroupsAndNoneWhenNothingChanged) {
    const Settings s = Changed(store().Defaults());
    ASSERT_TRUE(store()
                    .SaveGroups({SettingsGroup::Setup, SettingsGroup::KeyMap,
                                 SettingsGroup::Console, SettingsGroup::Scanner},
                                s)
                    .ok);
    EXPECT_EQ(files_.replacementCount(path_), 1);
    const std::string saved = readFile();

    ASSERT_TRUE(SaveAll(store(), s).ok);
    EXPECT_EQ(files_.replacementCount(path_), 1) << "the same values cost no disk write";
    EXPECT_EQ(readFile(), saved);
}

TEST_F(SettingsStoreTest, ACrashBeforeTheRenameKeepsTheOldFileWhole) {
    writeFile("[Macros]\nF1String=/lumacor 1 2 3\n");
    const std::string before = readFile();
    const Settings s = Changed(store().Defaults());
    files_.addFault({.step = FileStep::Rename, .path = path_, .crash = true});
    EXPECT_FALSE(store().SaveSetupGroup(s).ok);
    EXPECT_EQ(readFile(), before);
    ASSERT_TRUE(files_.unfinishedReplacement(path_).has_value());

    // A save with nothing new to write still clears what the crash left.
    ASSERT_TRUE(store().SaveGroups({}, s).ok);
    EXPECT_FALSE(files_.unfinishedReplacement(path_).has_value());
    EXPECT_EQ(files_.replacementCount(path_), 0);

    ASSERT_TRUE(store().SaveSetupGroup(s).ok);
    EXPECT_EQ(store().Load().Setup, s.Setup);
    EXPECT_NE(readFile().find("F1String=/lumacor 1 2 3"), std::string::npos);
}

TEST_F(SettingsStoreTest, AFullDiskFailsTheSaveAndKeepsTheOldFile) {
    writeFile("[Setup]\nLogEnabled=1\n");
    files_.addFault({.step = FileStep::Write, .path = path_, .writtenBytes = 10});
    const SaveResult result = store().SaveConsoleGroup(store().Defaults());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Unable to write to " + path_ + ": No space left on device");
    EXPECT_EQ(readFile(), "[Setup]\nLogEnabled=1\n");
    EXPECT_FALSE(files_.unfinishedReplacement(path_).has_value());
}

} // namespace
} // namespace trelk
