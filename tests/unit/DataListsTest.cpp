#include "data/DataLists.h"

#include "core/IniFile.h"
#include "platform/sim/SimEventLoop.h"
#include "support/SimFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::SimFolder;

class DataListsTest : public ::testing::Test {
protected:
    DataListsTest() { files.addFolder(app.file("Data")); }

    std::unique_ptr<DataLists> make(DataLists::Hooks hooks = {}) {
        auto lists = std::make_unique<DataLists>(
            loop, files, app.dir() + "Data/", app.file("trelkpro.ini"),
            [this](const std::string& line) { logLines.push_back(line); },
            [this](const std::string& message) { errors.push_back(message); },
            [this] { return origin; }, std::move(hooks));
        return lists;
    }
    void writeData(const std::string& name, const std::string& content) {
        app.write("Data/" + name, content);
    }
    std::string stored(const char* key) const {
        return IniFile::fromText(app.read("trelkpro.ini")).readString("DataList", key, "<none>");
    }
    // Runs the worker's completion on this (the main) thread.
    void finishWorker(DataLists& lists) {
        while (loop.pendingCount() == 0) {
            std::this_thread::yield();
        }
        loop.processPendingMessages();
        ASSERT_FALSE(lists.DataListWorkerRunning());
    }

    SimFileSystem files;
    SimFolder app{files};
    SimEventLoop loop;
    LumacorOrigin origin;
    std::vector<std::string> logLines;
    std::vector<std::string> errors;
};

TEST_F(DataListsTest, SaveAndRestoreKeepTheListsAndEveryOtherKey) {
    app.write("trelkpro.ini", "[Setup]\r\nLogBufSize=50\r\n[DataList]\r\nLoadData=2\r\n");
    auto lists = make();
    EXPECT_TRUE(lists->AddFile(DataKind::Roid, "/somewhere/b.dat"));
    EXPECT_TRUE(lists->AddFile(DataKind::Roid, "A.trk"));
    EXPECT_FALSE(lists->AddFile(DataKind::Roid, "B.DAT")) << "already listed, without case";
    EXPECT_FALSE(lists->AddFile(DataKind::Roid, "x;y.dat")) << "could not be stored";
    EXPECT_TRUE(lists->AddFile(DataKind::Pattern, "p.dat"));
    EXPECT_TRUE(lists->AddFile(DataKind::Info, "i.dat"));
    EXPECT_THAT(lists->Files(DataKind::Roid), ElementsAre("A.trk", "b.dat"));

    ASSERT_TRUE(lists->SaveDataLists());
    EXPECT_EQ(stored("RoidFiles"), "A.trk;b.dat;");
    EXPECT_EQ(stored("ArtiFiles"), "p.dat;");
    EXPECT_EQ(stored("DBFiles"), "i.dat;");
    const IniFile ini = IniFile::fromText(app.read("trelkpro.ini"));
    EXPECT_EQ(ini.readInteger("Setup", "LogBufSize", 0), 50);
    EXPECT_EQ(lists->LoadDataKind(), 2);

    auto restored = make();
    restored->RestoreDataLists();
    for (int kind = DataKind::Roid; kind <= DataKind::Info; ++kind) {
        EXPECT_EQ(restored->Files(kind), lists->Files(kind)) << kind;
    }
    EXPECT_THAT(errors, IsEmpty());
}

TEST_F(DataListsTest, EmptyRoidFilesGivesMyLumacorSavedAtOnce) {
    app.write("trelkpro.ini", "[DataList]\r\nRoidFiles=\r\nDBFiles=info.dat;\r\n");
    writeData("MyLumacor.dat", "(Belt)\r\n[One]\r\n1 2 3\r\n");
    auto lists = make();
    lists->RestoreDataLists();
    EXPECT_THAT(lists->Files(DataKind::Roid), ElementsAre("MyLumacor.dat"));
    EXPECT_EQ(stored("RoidFiles"), "MyLumacor.dat;");
    EXPECT_EQ(stored("DBFiles"), "info.dat;");
    EXPECT_EQ(*lists->ListText(DataKind::Roid), "(Belt)[One]\\1 2 3") << "saving rebuilds";
}

TEST_F(DataListsTest, RestoreReadsOddStoredValuesOnceAndSorted) {
    app.write("trelkpro.ini",
              "[DataList]\r\nRoidFiles=;b.dat;;A.dat;b.dat;a.DAT\r\nArtiFiles=p.dat\r\n");
    writeData("z.trk", "");
    writeData("notes.txt", "");
    writeData("Y.DAT", "");
    auto lists = make();
    lists->AddFile(DataKind::Info, "unsaved.dat");
    lists->RestoreDataLists();
    EXPECT_THAT(lists->Files(DataKind::Roid), ElementsAre("A.dat", "b.dat"));
    EXPECT_THAT(lists->Files(DataKind::Pattern), ElementsAre("p.dat"));
    EXPECT_THAT(lists->Files(DataKind::Info), IsEmpty()) << "unsaved edits are discarded";
    EXPECT_THAT(lists->DataDirFiles(), ElementsAre("Y.DAT", "z.trk"));
}

TEST_F(DataListsTest, EditingRemovesAndClearsOnlyWhatExists) {
    auto lists = make();
    int changes = 0;
    lists->addView([&] { ++changes; });
    lists->AddFile(DataKind::Pattern, "a.dat");
    lists->AddFile(DataKind::Pattern, "b.dat");
    EXPECT_FALSE(lists->RemoveFile(DataKind::Pattern, 2));
    EXPECT_FALSE(lists->RemoveFile(DataKind::Pattern, -1));
    EXPECT_FALSE(lists->RemoveFile(7, 0));
    EXPECT_FALSE(lists->AddFile(0, "c.dat"));
    EXPECT_TRUE(lists->RemoveFile(DataKind::Pattern, 0));
    EXPECT_THAT(lists->Files(DataKind::Pattern), ElementsAre("b.dat"));
    lists->ClearList(DataKind::Pattern);
    EXPECT_THAT(lists->Files(DataKind::Pattern), IsEmpty());
    EXPECT_EQ(changes, 4);
}

TEST_F(DataListsTest, UnreadableSettingsKeepTheListsAndAreReported) {
    files.addFolder(app.file("trelkpro.ini"));
    auto lists = make();
    lists->AddFile(DataKind::Roid, "a.dat");
    lists->RestoreDataLists();
    EXPECT_THAT(lists->Files(DataKind::Roid), ElementsAre("a.dat"));
    EXPECT_FALSE(lists->SaveDataLists());
    EXPECT_EQ(errors.size(), 2U);
}

TEST_F(DataListsTest, WorkerPublishesTheThreeListsOnTheMainThread) {
    app.write(
        "trelkpro.ini",
        "[DataList]\r\nRoidFiles=MyLumacor.dat;\r\nArtiFiles=pat.dat;\r\nDBFiles=gone.dat;\r\n");
    writeData("MyLumacor.dat", "(Belt)\r\n[One]\r\n1  2 3\r\n");
    writeData("pat.dat", "SEND=NO\r\n4 5 6\r\n");
    int resets = 0;
    std::vector<int> published;
    auto lists = make({.listRebuilt = [&](int) { ++resets; }});
    lists->addListView([&](int kind) { published.push_back(kind); });
    lists->RestoreDataLists();
    ASSERT_TRUE(lists->StartDataListWorker());
    EXPECT_FALSE(lists->StartDataListWorker());
    EXPECT_EQ(lists->GroupCount(DataKind::Roid), 0) << "nothing published before completion";
    finishWorker(*lists);

    EXPECT_THAT(published, ElementsAre(1, 2, 3));
    EXPECT_GE(resets, 1);
    EXPECT_EQ(*lists->ListText(DataKind::Roid), "(Belt)[One]\\1 2 3");
    EXPECT_EQ(*lists->ListText(DataKind::Pattern), "(Trk Data)[pat]\\4 5 6");
    EXPECT_EQ(*lists->ListText(DataKind::Info), "(***No Data Found***)[***No Data Found***]");
    EXPECT_TRUE(lists->NoData(DataKind::Info));
    EXPECT_FALSE(lists->NoData(DataKind::Roid));
    EXPECT_THAT(logLines, ElementsAre("\"gone.dat\" data file not found in "
                                      "\"..\\TrelkPro\\Data\" directory."));
}

TEST_F(DataListsTest, AListRebuiltWhileTheWorkerRunsIsNotOverwritten) {
    app.write("trelkpro.ini", "[DataList]\r\nRoidFiles=old.dat;\r\n");
    writeData("old.dat", "(Old)\r\n");
    writeData("new.dat", "(New)\r\n");
    auto lists = make();
    lists->RestoreDataLists();
    ASSERT_TRUE(lists->StartDataListWorker());
    lists->ClearList(DataKind::Roid);
    lists->AddFile(DataKind::Roid, "new.dat");
    lists->LoadDataList(DataKind::Roid);
    finishWorker(*lists);
    EXPECT_EQ(*lists->ListText(DataKind::Roid), "(New)");
}

TEST_F(DataListsTest, AHeldListStaysWholeAcrossARebuild) {
    writeData("a.dat", "(A)\r\n[S]\r\n1 2 3\r\n");
    auto lists = make();
    lists->AddFile(DataKind::Roid, "a.dat");
    lists->LoadDataList(DataKind::Roid);
    const auto shown = lists->List(DataKind::Roid);
    writeData("a.dat", "(A)\r\n(B)\r\n");
    lists->LoadDataList(DataKind::Roid);
    EXPECT_EQ(shown->text, "(A)[S]\\1 2 3");
    EXPECT_EQ(shown->groupCount, 1);
    EXPECT_EQ(lists->GroupCount(DataKind::Roid), 2);
    EXPECT_FALSE(lists->LoadDataList(4));
}

TEST_F(DataListsTest, FormatDflrSetsTheStatusLine) {
    std::vector<std::string> status;
    auto lists = make({.setDflrStatus = [&](const std::string& text) { status.push_back(text); }});
    EXPECT_EQ(lists->FormatDflr("3 4 0"), " (DFLR ---)");
    origin = {.X = 0, .Y = 0, .Z = 0, .Valid = true};
    EXPECT_EQ(lists->FormatDflr("3 4 0 rock"), " (DFLR 5k)");
    EXPECT_EQ(lists->FormatDflr("Sector A"), "");
    EXPECT_THAT(status, ElementsAre(" (DFLR ---)", " (DFLR 5k)", ""));
}

} // namespace
} // namespace trelk
