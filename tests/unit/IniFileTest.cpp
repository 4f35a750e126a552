#include "core/IniFile.h"

#include "platform/sim/SimFileSystem.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

using namespace std::string_literals;

class IniFileTest : public ::testing::Test {
protected:
    IniFileTest() { files_.addFolder(dir_); }

    void writeFile(const std::string& bytes) { files_.addFile(path_, bytes); }
    std::string readFile() const { return files_.file(path_).value_or(""); }
    IniFile loaded() {
        IniFile ini;
        EXPECT_TRUE(ini.Load(files_, path_).ok);
        return ini;
    }

    SimFileSystem files_;
    std::string dir_ = "/sim/TrelkPro";
    std::string path_ = dir_ + "/TrelkPro.ini";
};

TEST_F(IniFileTest, MissingFileIsEmptyButUnreadableOneIsAnError) {
    IniFile ini = IniFile::fromText("[Old]\nkey=1\n");
    EXPECT_TRUE(ini.Load(files_, path_).ok);
    EXPECT_TRUE(ini.sectionNames().empty());

    files_.addFolder(path_); // exists, but reading it fails
    ini = IniFile::fromText("[Old]\nkey=1\n");
    const IniResult result = ini.Load(files_, path_);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(path_), std::string::npos);
    EXPECT_TRUE(ini.sectionNames().empty());
}

TEST_F(IniFileTest, ReadsTypedValuesWithoutCaseAndFallsBackOnBadOnes) {
    writeFile("[Setup]\nLogBufSize = 250 \nlogenabled=1\nProxyPort=80x\nTextColor=$FF00FF\n"
              "Font= OCR A Extended \nMarketEnable=yes\nAutoRunVL=0\nEmpty=\n");
    const IniFile ini = loaded();
    EXPECT_EQ(ini.readInteger("SETUP", "logbufsize", 100), 250);
    EXPECT_TRUE(ini.readBool("Setup", "LogEnabled", false));
    EXPECT_EQ(ini.readInteger("Setup", "ProxyPort", 8), 8);
    EXPECT_EQ(ini.readInteger("Setup", "TextColor", 0), 0xFF00FF);
    EXPECT_EQ(ini.readString("Setup", "Font", ""), "OCR A Extended");
    EXPECT_TRUE(ini.readBool("Setup", "MarketEnable", true));
    EXPECT_FALSE(ini.readBool("Setup", "MarketEnable", false));
    EXPECT_FALSE(ini.readBool("Setup", "AutoRunVL", true));
    EXPECT_EQ(ini.readString("Setup", "Empty", "default"), "");
    EXPECT_EQ(ini.readString("Setup", "Missing", "default"), "default");
    EXPECT_EQ(ini.readString("Nowhere", "Font", "default"), "default");
}

TEST_F(IniFileTest, DamagedFilesStillYieldEverythingReadable) {
    // CR LF ends, a line without '=', a key before any section, a NUL byte inside a value, a
    // comment, a repeated section and key, and a last line cut off in the middle.
    writeFile("stray=1\r\n[Setup]\r\nno equals sign here\r\nA=1\r\n; note=2\r\n"
              "Bin=x\0y\r\n=orphan\r\n[Console]\r\nFont=Arial\r\n[setup]\r\nA=2\r\n"
              "B=3\r\n[Scanner]\r\nScanColor=4\r\nScanIndic"s);
    const IniFile ini = loaded();
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"Setup", "Console", "Scanner"}));
    EXPECT_EQ(ini.keyNames("Setup"), (std::vector<std::string>{"A", "Bin", "B"}));
    EXPECT_EQ(ini.readInteger("Setup", "A", 0), 1) << "the first occurrence wins";
    EXPECT_EQ(ini.readInteger("Setup", "B", 0), 3) << "repeated sections merge";
    EXPECT_EQ(ini.readString("Setup", "Bin", ""), std::string("x\0y", 3));
    EXPECT_EQ(ini.readString("Console", "Font", ""), "Arial");
    EXPECT_EQ(ini.readInteger("Scanner", "ScanColor", 1), 4);
    EXPECT_FALSE(ini.hasKey("Scanner", "ScanIndic"));
    EXPECT_FALSE(ini.hasKey("", "stray"));
    EXPECT_FALSE(ini.hasKey("Setup", "; note"));

    const IniFile empty = IniFile::fromText("");
    EXPECT_TRUE(empty.sectionNames().empty());
    const IniFile cut = IniFile::fromText("[Setu");
    EXPECT_TRUE(cut.sectionNames().empty());
}

TEST_F(IniFileTest, DeletingAKeyRemovesEveryCopyOfItInItsSectionOnly) {
    IniFile ini = IniFile::fromText("[A]\nMiner=1\nkeep=2\nminer=3\n[B]\nMiner=4\n");
    ini.deleteKey("a", "MINER");
    EXPECT_FALSE(ini.hasKey("A", "Miner")) << "a second copy would become the value read";
    EXPECT_EQ(ini.readString("A", "keep", ""), "2");
    EXPECT_EQ(ini.readString("B", "Miner", ""), "4");
    ini.deleteKey("Missing", "x");
    EXPECT_EQ(ini.toText(), "[A]\nkeep=2\n[B]\nMiner=4\n");
}

TEST_F(IniFileTest, WritingKeepsForeignContentAndKeyPlaces) {
    const std::string original = "; written by hand\n[Setup]\nInstallCode=abc\nUnknownKey=keep me\n"
                                 "\n[Macros]\nF1Channel=2\nF1String=/lumacor 1 2 3\n\n";
    IniFile ini = IniFile::fromText(original);
    EXPECT_EQ(ini.toText(), original) << "an untouched document is written back as it was read";

    ini.writeString("setup", "installcode", "xyz");
    ini.writeInteger("Setup", "LogBufSize", 300);
    ini.writeBool("Console", "AASafe", true);
    EXPECT_EQ(ini.toText(), "; written by hand\n[Setup]\nInstallCode=xyz\nUnknownKey=keep me\n"
                            "LogBufSize=300\n\n[Macros]\nF1Channel=2\nF1String=/lumacor 1 2 3\n\n"
                            "[Console]\nAASafe=1\n");
}

TEST_F(IniFileTest, SectionLinesAreWrittenBackAsTheyWereRead) {
    // A comment after the bracket, blanks around the name, and the rest of a line whose break
    // an editor left as a lone carriage return: none of it is the program's to drop.
    const std::string original =
        "[Setup] ; the Setup tab's keys\n  [ Macros ]\nF1Channel=2\n[Other]\rkept=1\n";
    IniFile ini = IniFile::fromText(original);
    EXPECT_EQ(ini.toText(), original);

    ini.writeString("macros", "F1Channel", "3");
    ini.writeString("Console", "AASafe", "1");
    EXPECT_EQ(ini.toText(), "[Setup] ; the Setup tab's keys\n  [ Macros ]\nF1Channel=3\n"
                            "[Other]\rkept=1\n[Console]\nAASafe=1\n");
}

TEST_F(IniFileTest, EveryByteOrderMarkAtTheStartIsSkipped) {
    const IniFile ini = IniFile::fromText("\xEF\xBB\xBF\xEF\xBB\xBF[KeyMap]\nKM1=-1\n");
    EXPECT_EQ(ini.readInteger("KeyMap", "KM1", 301), -1);
    EXPECT_EQ(ini.toText(), "[KeyMap]\nKM1=-1\n");
}

TEST_F(IniFileTest, StringValuesRoundTripExactlyExceptLineBreaks) {
    const std::vector<std::string> values{
        " leading and trailing ", "\"quoted\"", "a=b;c", "\tTab", "caf\xE9 \x80", "",
        std::string("n\0l", 3)};
    IniFile ini;
    for (std::size_t i = 0; i < values.size(); ++i) {
        ini.writeString("Data", "V" + std::to_string(i), values[i]);
    }
    ini.writeString("Data", "Injected", "one\r\n[Setup]\nInstallCode=evil");
    ASSERT_TRUE(ini.Save(files_, path_).ok);

    const IniFile reread = loaded();
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(reread.readString("Data", "V" + std::to_string(i), "?"), values[i]) << i;
    }
    EXPECT_EQ(reread.readString("Data", "Injected", ""), "one  [Setup] InstallCode=evil");
    EXPECT_EQ(reread.sectionNames(), std::vector<std::string>{"Data"});
}

TEST_F(IniFileTest, SaveReplacesTheFileOnceAndAFailedOneKeepsIt) {
    writeFile("[Old]\nkey=1\n");
    IniFile ini = loaded();
    ini.writeInteger("Old", "key", 2);
    files_.addFault({.step = FileStep::Sync, .path = path_, .error = "Input/output error"});
    const IniResult failed = ini.Save(files_, path_);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.message, "Unable to write to " + path_ + ": Input/output error");
    EXPECT_EQ(readFile(), "[Old]\nkey=1\n");

    ASSERT_TRUE(ini.Save(files_, path_).ok);
    EXPECT_EQ(readFile(), "[Old]\nkey=2\n");
    EXPECT_EQ(files_.replacements(path_), std::vector<std::string>{"[Old]\nkey=2\n"});
}

TEST_F(IniFileTest, SaveIntoAMissingFolderFailsWithTheFileName) {
    const std::string nowhere = dir_ + "/missing/TrelkPro.ini";
    const IniResult result = IniFile::fromText("[A]\nb=1\n").Save(files_, nowhere);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message.rfind("Unable to write to " + nowhere, 0), 0U) << result.message;
}

} // namespace
} // namespace trelk
