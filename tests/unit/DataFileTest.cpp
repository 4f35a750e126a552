#include "data/DataFile.h"

#include "support/SimFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::SimFolder;

class DataFileTest : public ::testing::Test {
protected:
    DataListBuild build(int kind, const std::vector<std::string>& names) {
        return BuildDataList(files, kind, data.dir(), names);
    }
    SimFileSystem files;
    SimFolder data{files, "/sim/TrelkPro/Data"};
};

TEST_F(DataFileTest, GroupedFileGivesTheListTextAsWritten) {
    data.write("Sector.dat", "(Sector A)\r\n[Field 1]\r\n10 20 30 big rock\r\n");
    const DataListBuild list = build(DataKind::Roid, {"Sector.dat"});
    EXPECT_EQ(list.text, "(Sector A)[Field 1]\\10 20 30 big rock");
    EXPECT_EQ(list.groupCount, 1);
    EXPECT_FALSE(list.noData);
    EXPECT_THAT(list.logLines, IsEmpty());
}

TEST_F(DataFileTest, HeaderOnlyOnTheFirstLineAndOnlyExactlySend) {
    data.write("Roids.dat", "SEND=NO\r\n1 2 3\r\n");
    EXPECT_EQ(build(DataKind::Roid, {"Roids.dat"}).text, "(Trk Data)[Roids]\\1 2 3");

    // Later lines and other spellings are entries.
    data.write("Late.dat", "(G)\r\nSEND=NO\r\n");
    EXPECT_EQ(build(DataKind::Roid, {"Late.dat"}).text, "(G)\\SEND=NO");
    data.write("Lower.dat", "send=no\r\n(G)\r\n");
    EXPECT_EQ(build(DataKind::Roid, {"Lower.dat"}).text, "(Trk Data)[Lower]\\send=no(G)");
}

TEST_F(DataFileTest, WaypointFilesNumberTheirEntries) {
    data.write("Route.TRK", "SEND=YES\r\n1 1 1\r\n[Leg]\r\n2  2 2\r\n3 3 3\r\n");
    EXPECT_EQ(build(DataKind::Pattern, {"Route.TRK"}).text,
              "(Trk Data)[Route]\\1 1 1 WayPoint 1[Leg]\\2 2 2 WayPoint 2\\3 3 3 WayPoint 3");
    // The Database list keeps runs of spaces.
    EXPECT_EQ(build(DataKind::Info, {"Route.TRK"}).text,
              "(Trk Data)[Route]\\1 1 1  WayPoint 1[Leg]\\2  2 2  WayPoint 2\\3 3 3  WayPoint 3");
}

TEST_F(DataFileTest, HeaderlessFilesShareOneTrkDataGroupLaterFileFirst) {
    data.write("a.dat", "1 2 3\r\n");
    data.write("b.dat", "(Belt)\r\n[Inner]\r\n4 5 6\r\n");
    data.write("c.trk", "7  8 9\r\n");
    const DataListBuild list = build(DataKind::Roid, {"a.dat", "b.dat", "c.trk"});
    EXPECT_EQ(list.text, "(Trk Data)[c]\\7 8 9 WayPoint 1[a]\\1 2 3(Belt)[Inner]\\4 5 6");
    EXPECT_EQ(list.groupCount, 2);
}

TEST_F(DataFileTest, LinesAreCleanedBeforeUse) {
    data.write("clean.dat", "(G)\r\n\\\\\\\r\n  [S\\ub]  \r\nx\r\n1\t2 \\3\r\n   \r\n");
    EXPECT_EQ(build(DataKind::Roid, {"clean.dat"}).text, "(G)[Sub]\\1 2 3");
    // A tab is two spaces, which only the Roid and Pattern lists collapse.
    EXPECT_EQ(build(DataKind::Info, {"clean.dat"}).text, "(G)[Sub]\\1  2 3");
}

TEST_F(DataFileTest, StructureCharactersOfAFileNameStayOutOfTheHeading) {
    data.write("Belt(2)[x].dat", "1 2 3\r\n");
    EXPECT_EQ(build(DataKind::Roid, {"Belt(2)[x].dat"}).text, "(Trk Data)[Belt2x]\\1 2 3");
}

TEST_F(DataFileTest, MissingFilesAreLoggedAndTheOthersStillLoad) {
    data.write("b.dat", "(G)\r\n[S]\r\n1 2 3\r\n");
    const DataListBuild list = build(DataKind::Roid, {"MyLumacor.dat", "b.dat"});
    EXPECT_EQ(list.text, "(G)[S]\\1 2 3");
    EXPECT_FALSE(list.noData);
    EXPECT_THAT(list.logLines,
                ElementsAre("\"MyLumacor.dat\" data file not found in \"..\\TrelkPro\\Data\" "
                            "directory."));
}

TEST_F(DataFileTest, NoExistingFileGivesTheNoDataList) {
    for (const auto& names : {std::vector<std::string>{}, std::vector<std::string>{"x.dat"}}) {
        const DataListBuild list = build(DataKind::Info, names);
        EXPECT_EQ(list.text, "(***No Data Found***)[***No Data Found***]");
        EXPECT_EQ(list.groupCount, 1);
        EXPECT_TRUE(list.noData);
    }
}

TEST_F(DataFileTest, FilesWithoutUsableLinesAreLoggedAsZeroLength) {
    data.write("empty.dat", "");
    data.write("blank.dat", "SEND=NO\r\n \r\n\\\r\nx\r\n");
    const DataListBuild list = build(DataKind::Roid, {"blank.dat", "empty.dat"});
    EXPECT_EQ(list.text, "");
    EXPECT_EQ(list.groupCount, 0);
    EXPECT_FALSE(list.noData) << "the files exist";
    EXPECT_THAT(list.logLines,
                ElementsAre("\"" + data.file("blank.dat") + "\" data file zero length.",
                            "\"" + data.file("empty.dat") + "\" data file zero length."));
}

TEST_F(DataFileTest, AnyLineEndAndAMissingLastLineEnd) {
    data.write("ends.dat", "(G)\n[S]\r1 1 1\r\n\r\n2 2 2\r\r\n3 3 3");
    EXPECT_EQ(build(DataKind::Roid, {"ends.dat"}).text, "(G)[S]\\1 1 1\\2 2 2\\3 3 3");
}

TEST_F(DataFileTest, BinaryAndUnreadableFilesNeverBreakTheList) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>((i * 167 + 13) % 256);
    }
    data.write("noise.dat", binary);
    files.addFolder(data.file("folder.dat"));
    data.write("good.dat", "(G)\r\n1 2 3\r\n");
    const DataListBuild list = build(DataKind::Roid, {"folder.dat", "good.dat", "noise.dat"});
    EXPECT_TRUE(list.text.starts_with("(G)\\1 2 3")) << list.text.substr(0, 40);
    EXPECT_EQ(list.text.find('\r'), std::string::npos);
    EXPECT_EQ(list.text.find('\n'), std::string::npos);
    EXPECT_THAT(list.logLines,
                ElementsAre("\"" + data.file("folder.dat") + "\" data file could not be read."));
}

TEST_F(DataFileTest, AFileTheDiskFailsToReadIsLoggedAndTheOthersStillLoad) {
    data.write("bad.dat", "(Bad)\r\n1 2 3\r\n");
    data.write("good.dat", "(G)\r\n4 5 6\r\n");
    files.addFault({.step = FileStep::Read, .path = data.file("bad.dat")});
    const DataListBuild list = build(DataKind::Roid, {"bad.dat", "good.dat"});
    EXPECT_EQ(list.text, "(G)\\4 5 6");
    EXPECT_THAT(list.logLines,
                ElementsAre("\"" + data.file("bad.dat") + "\" data file could not be read."));
}

TEST_F(DataFileTest, AHugeLineIsOneEntry) {
    const std::string line(12 * 1024 * 1024, '7');
    data.write("huge.dat", "(G)\r\n" + line + "\r\n1 2 3\r\n");
    const DataListBuild list = build(DataKind::Roid, {"huge.dat"});
    EXPECT_EQ(list.text, "(G)\\" + line + "\\1 2 3");
}

} // namespace
} // namespace trelk
