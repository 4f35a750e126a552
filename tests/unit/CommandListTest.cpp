// The command list's stored form in the settings file and its editing operations.

#include "macros/CommandList.h"

#include "support/SimFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class CommandListFile : public ::testing::Test {
protected:
    CommandList makeList(const std::string& file) {
        return CommandList(
            files, file, [this](const std::string& line) { logLines.push_back(line); },
            [this] { ++indexResets; },
            [this](const std::string& message) { errors.push_back(message); });
    }
    std::string ini() const { return folder.read("trelkpro.ini"); }

    SimFileSystem files;
    testing::SimFolder folder{files};
    std::vector<std::string> logLines;
    std::vector<std::string> errors;
    int indexResets = 0;
    CommandList list = makeList(folder.file("trelkpro.ini"));
};

TEST(CommandListStoredForm, EveryEntryEndsAtItsSemicolonEmptyOnesIncluded) {
    EXPECT_THAT(CommandList::ParseStored("/cargo;//hl;"), ElementsAre("/cargo", "//hl"));
    EXPECT_THAT(CommandList::ParseStored(""), IsEmpty());
    // An empty line added and saved comes back as an empty entry, not as a second copy of the
    // entry after it.
    EXPECT_THAT(CommandList::ParseStored("/cargo;;//hl;"), ElementsAre("/cargo", "", "//hl"));
    EXPECT_THAT(CommandList::ParseStored(";/cargo;"), ElementsAre("", "/cargo"));
    EXPECT_THAT(CommandList::ParseStored(";"), ElementsAre(""));
    // A hand-edited value without the last semicolon.
    EXPECT_THAT(CommandList::ParseStored("/cargo;//hl"), ElementsAre("/cargo", "//hl"));
    EXPECT_EQ(CommandList::ToStored({"/cargo", "", "//hl"}), "/cargo;;//hl;");
    EXPECT_EQ(CommandList::ToStored({}), "");
}

TEST(CommandListArrows, StepOneRowHeldAtBothEndsAndNoRowInAnEmptyList) {
    // Nothing chosen yet: Down takes the first row, Up stays on it.
    EXPECT_EQ(CommandList::ArrowRow(-1, 3, false), 0);
    EXPECT_EQ(CommandList::ArrowRow(-1, 3, true), 0);
    EXPECT_EQ(CommandList::ArrowRow(1, 3, false), 2);
    EXPECT_EQ(CommandList::ArrowRow(2, 3, false), 2);
    EXPECT_EQ(CommandList::ArrowRow(0, 3, true), 0);
    EXPECT_EQ(CommandList::ArrowRow(0, 1, false), 0);
    // An empty list has no row to go to, from wherever the view's row was left.
    for (const int current : {-1, 0, 5}) {
        EXPECT_EQ(CommandList::ArrowRow(current, 0, false), -1);
        EXPECT_EQ(CommandList::ArrowRow(current, 0, true), -1);
    }
    // A row left past the end of a list that shrank comes back inside it.
    EXPECT_EQ(CommandList::ArrowRow(7, 2, true), 1);
}

TEST_F(CommandListFile, SaveWritesOnlyItsKeyAndLoadsTheSameListBack) {
    const std::string others = "; pilot's note\n[Setup]\nLogEnabled=1\n\n[Macros]\nF1Channel=2\n"
                               "F1String=gg\n";
    folder.write("trelkpro.ini", others + "\n[Commands]\nCmdList=old;\nOther=kept\n");
    list.Load();
    ASSERT_THAT(list.Entries(), ElementsAre("old"));

    list.Clear();
    for (const std::string& entry :
         {std::string(" /away brb"), std::string("/cargo"), std::string(), std::string("/bcu ")}) {
        ASSERT_TRUE(list.AppendEntry(entry).added);
    }
    EXPECT_FALSE(list.AppendEntry("/cargo\r").added); // Enter inside a command
    EXPECT_EQ(list.Entries().size(), 4u);
    EXPECT_EQ(errors.size(), 1u);
    errors.clear();

    indexResets = 0;
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ini(), others + "\n[Commands]\nCmdList=\" /away brb;/cargo;;/bcu ;\"\nOther=kept\n");
    EXPECT_THAT(list.Entries(), ElementsAre(" /away brb", "/cargo", "", "/bcu "));
    EXPECT_EQ(indexResets, 1); // Save loads the list again
    EXPECT_THAT(errors, IsEmpty());

    CommandList restarted = makeList(folder.file("trelkpro.ini"));
    restarted.Load();
    EXPECT_EQ(restarted.Entries(), list.Entries());
    EXPECT_TRUE(restarted.CommandsAvailable());
}

TEST_F(CommandListFile, AFailedWriteIsReportedAndKeepsTheListOnScreen) {
    CommandList unwritable = makeList(folder.file("no-such-folder/trelkpro.ini"));
    unwritable.Load();
    ASSERT_TRUE(unwritable.AppendEntry("/cargo").added);
    indexResets = 0;
    logLines.clear();
    EXPECT_FALSE(unwritable.Save());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_THAT(errors[0], HasSubstr("not saved"));
    EXPECT_THAT(unwritable.Entries(), ElementsAre("/cargo"));
    EXPECT_EQ(indexResets, 0);
    EXPECT_THAT(logLines, IsEmpty());

    // A settings file that cannot be read is neither overwritten nor shown as an empty list.
    files.addFolder(folder.file("trelkpro.ini"));
    ASSERT_TRUE(list.AppendEntry("/cargo").added);
    list.Load();
    EXPECT_THAT(list.Entries(), ElementsAre("/cargo"));
    EXPECT_FALSE(list.Save());
    EXPECT_EQ(errors.size(), 3u);
    EXPECT_EQ(files.kindOf(folder.file("trelkpro.ini")), PathKind::Folder);
}

TEST_F(CommandListFile, EditingRefusesWhatCouldNotBeStoredOrTypedAsItIs) {
    ASSERT_TRUE(list.AppendEntry("").added);
    // Letters of any language are text: the key sender types é and ü as letters.
    ASSERT_TRUE(list.AppendEntry("\xC4rger \xDF\xE0").added);
    ASSERT_TRUE(list.AppendEntry("/give J\xFCrgen 5").added);
    ASSERT_TRUE(list.AppendEntry("caf\xE9 cr\xE8me").added);

    // A ';' would come back as two entries; a control character would press its key.
    for (const std::string text : {"/cargo;//hl", "/cargo\r", "\x08"}) {
        const auto refused = list.AppendEntry(text);
        EXPECT_FALSE(refused.added);
        EXPECT_EQ(refused.editText, text);
    }
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_THAT(errors[0], HasSubstr("\";\""));
    EXPECT_THAT(errors[1], HasSubstr("code 13"));
    EXPECT_THAT(list.Entries(),
                ElementsAre("", "\xC4rger \xDF\xE0", "/give J\xFCrgen 5", "caf\xE9 cr\xE8me"));

    EXPECT_FALSE(list.DeleteEntry(-1));
    EXPECT_FALSE(list.DeleteEntry(4));
    EXPECT_TRUE(list.DeleteEntry(0));
    EXPECT_THAT(list.Entries(),
                ElementsAre("\xC4rger \xDF\xE0", "/give J\xFCrgen 5", "caf\xE9 cr\xE8me"));
}

TEST_F(CommandListFile, StoredListsKeepTheirBytes) {
    // Lists saved before entries were checked load and save byte for byte.
    folder.write("trelkpro.ini", "[Commands]\nCmdList=/say J\xFCrgen;\xE8;\n");
    list.Load();
    EXPECT_THAT(list.Entries(), ElementsAre("/say J\xFCrgen", "\xE8"));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(ini(), "[Commands]\nCmdList=/say J\xFCrgen;\xE8;\n");
}

} // namespace
} // namespace trelk
