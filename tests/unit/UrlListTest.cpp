// The Web tab's list of addresses: its file, the URL dialog's two stages, dropped links.

#include "web/UrlList.h"

#include "support/SimFolder.h"
#include "web/UrlEditor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class UrlListTest : public ::testing::Test {
protected:
    UrlList makeList() {
        return UrlList(
            files, folder.file(UrlList::FileName),
            {.addLogLine = [this](const std::string& line) { log.push_back(line); },
             .reportError = [this](const std::string& message) { errors.push_back(message); }});
    }
    std::string file() const { return folder.read(UrlList::FileName); }

    SimFileSystem files;
    testing::SimFolder folder{files};
    std::vector<std::string> log;
    std::vector<std::string> errors;
    UrlList list = makeList();
};

TEST_F(UrlListTest, FourLinesAreTwoRowsInOrderAndSaveAsTheSameFourLines) {
    const std::string stored = "News\r\nhttp://news.example/\r\nForum\r\nhttp://forum.example/\r\n";
    folder.write(UrlList::FileName, stored);
    list.LoadList();
    EXPECT_THAT(list.Rows(), ElementsAre(UrlListRow{"News", "http://news.example/"},
                                         UrlListRow{"Forum", "http://forum.example/"}));
    ASSERT_TRUE(list.SaveList());
    EXPECT_EQ(file(), stored);
}

TEST_F(UrlListTest, ThreeLinesGiveASecondRowWithoutAddressWrittenBackAsAnEmptyLine) {
    folder.write(UrlList::FileName, "News\r\nhttp://news.example/\r\nForum\r\n");
    list.LoadList();
    EXPECT_THAT(list.Rows(),
                ElementsAre(UrlListRow{"News", "http://news.example/"}, UrlListRow{"Forum", ""}));
    list.SaveList();
    EXPECT_EQ(file(), "News\r\nhttp://news.example/\r\nForum\r\n\r\n");

    // An empty name is an empty line, and a file edited elsewhere with bare line feeds reads
    // the same.
    folder.write(UrlList::FileName, "\nhttp://a.example/\n");
    list.LoadList();
    EXPECT_THAT(list.Rows(), ElementsAre(UrlListRow{"", "http://a.example/"}));
    list.SaveList();
    EXPECT_EQ(file(), "\r\nhttp://a.example/\r\n");
}

TEST_F(UrlListTest, AMissingFileIsLoggedAndAnUnreadableOneSaidAndNeitherFillsTheList) {
    list.LoadList();
    EXPECT_THAT(list.Rows(), IsEmpty());
    EXPECT_THAT(log, ElementsAre("URL data file not found"));

    folder.write(UrlList::FileName, "News\r\nhttp://news.example/\r\n");
    files.addFault({.step = FileStep::Read, .error = "Permission denied"});
    list.LoadList();
    EXPECT_THAT(list.Rows(), IsEmpty());
    ASSERT_EQ(errors.size(), 1U);
    EXPECT_THAT(errors[0], HasSubstr("Permission denied"));
    EXPECT_EQ(file(), "News\r\nhttp://news.example/\r\n") << "reading never writes";
}

TEST_F(UrlListTest, ASaveThatDiesHalfWayLeavesThePreviousListWhole) {
    const std::string stored = "News\r\nhttp://news.example/\r\n";
    folder.write(UrlList::FileName, stored);
    list.LoadList();
    files.addFault({.step = FileStep::Write, .writtenBytes = 5, .crash = true});
    list.DropLink("http://forum.example/", "Forum");
    EXPECT_EQ(file(), stored);

    files.addFault({.step = FileStep::Write, .error = "No space left on device"});
    EXPECT_FALSE(list.SaveList());
    EXPECT_EQ(file(), stored);
    ASSERT_FALSE(errors.empty());
    EXPECT_THAT(errors.back(), HasSubstr("No space left on device"));
    EXPECT_EQ(list.Rows().size(), 2U) << "the list on screen stays";
}

TEST_F(UrlListTest, ADroppedLinkIsAddedAndSavedNamedByItsTitleOrItsAddress) {
    EXPECT_TRUE(list.DropLink("http://news.example/", "News"));
    EXPECT_TRUE(list.DropLink("http://forum.example/", ""));
    EXPECT_FALSE(list.DropLink("", "No address"));
    EXPECT_THAT(list.Rows(),
                ElementsAre(UrlListRow{"News", "http://news.example/"},
                            UrlListRow{"http://forum.example/", "http://forum.example/"}));
    EXPECT_EQ(file(), "News\r\nhttp://news.example/\r\nhttp://forum.example/\r\n"
                      "http://forum.example/\r\n");
}

TEST_F(UrlListTest, UrlTwiceKeepsOnePilotRowAtTheTopHoldingTheSecondAddressAndSavesNothing) {
    folder.write(UrlList::FileName, "News\r\nhttp://news.example/\r\n");
    list.LoadList();
    list.SetPilotUrl("http://a.example/");
    list.SetPilotUrl("http://b.example/");
    EXPECT_THAT(list.Rows(),
                ElementsAre(UrlListRow{"Pilot Define URL: http://b.example/", "http://b.example/"},
                            UrlListRow{"News", "http://news.example/"}));
    EXPECT_EQ(files.replacementCount(folder.file(UrlList::FileName)), 0);
}

class UrlEditorTest : public UrlListTest {
protected:
    UrlEditorTest() {
        folder.write(UrlList::FileName, "News\r\nhttp://news.example/\r\n");
        list.LoadList();
    }
    UrlEditor editor{list};
};

TEST_F(UrlEditorTest, StageOneTakesTheAddressStageTwoTheNameAndBothLandWhenItCloses) {
    editor.Open(0);
    EXPECT_EQ(editor.Caption(), "Define URL: 1");
    EXPECT_EQ(editor.Stage(), 1);
    EXPECT_EQ(editor.Label(), "Enter the URL");
    EXPECT_EQ(editor.Field, "http://news.example/");

    editor.Field = "http://news2.example/";
    editor.Ok();
    EXPECT_EQ(editor.Stage(), 2);
    EXPECT_EQ(editor.Label(), "Enter a name for this URL, or leave blank to list the actual URL");
    EXPECT_EQ(editor.Field, "News") << "the row's current name";
    EXPECT_THAT(list.Rows(), ElementsAre(UrlListRow{"News", "http://news.example/"}))
        << "nothing changes before the second OK";

    editor.Field = "Fresh news";
    editor.Ok();
    EXPECT_FALSE(editor.IsOpen());
    EXPECT_THAT(list.Rows(), ElementsAre(UrlListRow{"Fresh news", "http://news2.example/"}));
    EXPECT_EQ(file(), "Fresh news\r\nhttp://news2.example/\r\n");
}

TEST_F(UrlEditorTest, ANewRowWithoutANameIsNamedByItsAddress) {
    editor.Open(-1);
    EXPECT_EQ(editor.Caption(), "Define URL: 2");
    EXPECT_EQ(editor.Field, "");
    editor.Field = "http://forum.example/";
    editor.Ok();
    EXPECT_EQ(editor.Field, "");
    editor.Ok();
    EXPECT_THAT(list.Rows(),
                ElementsAre(UrlListRow{"News", "http://news.example/"},
                            UrlListRow{"http://forum.example/", "http://forum.example/"}));
}

TEST_F(UrlEditorTest, CancelChangesNothingAndANewRowCancelledGoesAgain) {
    editor.Open(-1);
    EXPECT_EQ(list.Rows().size(), 2U) << "the new row is there while the dialog is open";
    editor.Field = "http://typed.example/";
    editor.Ok();
    editor.Cancel();
    EXPECT_THAT(list.Rows(), ElementsAre(UrlListRow{"News", "http://news.example/"}));

    editor.Open(0);
    editor.Field = "http://other.example/";
    editor.Cancel();
    EXPECT_THAT(list.Rows(), ElementsAre(UrlListRow{"News", "http://news.example/"}));
    EXPECT_EQ(file(), "News\r\nhttp://news.example/\r\n");
}

TEST_F(UrlEditorTest, RemoveDeletesTheRowInEitherStage) {
    list.DropLink("http://forum.example/", "Forum");
    editor.Open(0);
    editor.Remove();
    EXPECT_THAT(list.Rows(), ElementsAre(UrlListRow{"Forum", "http://forum.example/"}));
    editor.Open(0);
    editor.Ok();
    editor.Remove();
    EXPECT_THAT(list.Rows(), IsEmpty());
    EXPECT_EQ(file(), "");
}

TEST_F(UrlEditorTest, TheFieldHoldsAtMost255Characters) {
    editor.Open(-1);
    editor.Field = std::string(300, 'u');
    editor.Ok();
    editor.Ok();
    EXPECT_EQ(list.Rows().back().Url, std::string(255, 'u'));
}

} // namespace
} // namespace trelk
