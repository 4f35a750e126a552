#include "core/IniFile.h"

#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace trelk {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class IniFileTest : public ::testing::Test {
protected:
    void writeFile(const std::string& bytes) const {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    std::string readFile() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    IniFile loaded() const {
        IniFile ini;
        EXPECT_TRUE(ini.Load(path_).ok);
        return ini;
    }

    testing::TempFolder folder_;
    const fs::path dir_ = folder_.path();
    const std::string path_ = folder_.file("TrelkPro.ini");
};

TEST_F(IniFileTest, MissingFileIsEmptyButUnreadableOneIsAnError) {
    IniFile ini = IniFile::fromText("[Old]\nkey=1\n");
    EXPECT_TRUE(ini.Load(path_).ok);
    EXPECT_TRUE(ini.sectionNames().empty());

    fs::create_directory(path_); // exists, but reading it fails
    ini = IniFile::fromText("[Old]\nkey=1\n");
    const IniResult result = ini.Load(path_);
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

TEST_F(IniFileTest, StringValuesRoundTripExactlyExceptLineBreaks) {
    const std::vector<std::string> values{
        " leading and trailing ", "\"quoted\"", "a=b;c", "\tTab", "caf\xE9 \x80", "",
        std::string("n\0l", 3)};
    IniFile ini;
    for (std::size_t i = 0; i < values.size(); ++i) {
        ini.writeString("Data", "V" + std::to_string(i), values[i]);
    }
    ini.writeString("Data", "Injected", "one\r\n[Setup]\nInstallCode=evil");
    ASSERT_TRUE(ini.Save(path_).ok);

    const IniFile reread = loaded();
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(reread.readString("Data", "V" + std::to_string(i), "?"), values[i]) << i;
    }
    EXPECT_EQ(reread.readString("Data", "Injected", ""), "one  [Setup] InstallCode=evil");
    EXPECT_EQ(reread.sectionNames(), std::vector<std::string>{"Data"});
}

TEST_F(IniFileTest, SaveReplacesTheFileAndLeavesNoTemporaryFile) {
    writeFile("[Old]\nkey=1\n");
    std::ofstream(path_ + ".tmp") << "left over by a crash";
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);

    IniFile ini = loaded();
    ini.writeInteger("Old", "key", 2);
    ASSERT_TRUE(ini.Save(path_).ok);
    EXPECT_EQ(readFile(), "[Old]\nkey=2\n");
    EXPECT_FALSE(fs::exists(path_ + ".tmp"));
    EXPECT_EQ(fs::status(path_).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(IniFileTest, SaveIntoAMissingFolderFailsWithTheFileName) {
    const std::string nowhere = (dir_ / "missing" / "TrelkPro.ini").string();
    const IniResult result = IniFile::fromText("[A]\nb=1\n").Save(nowhere);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message.rfind("Unable to write to " + nowhere, 0), 0U) << result.message;
}

} // namespace
} // namespace trelk
