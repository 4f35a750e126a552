#include "console/DatabasePages.h"

#include "ConsoleTestSupport.h"
#include "console/BuiltinPages.h"
#include "data/ListTextIndex.h"
#include "data/ListTextWords.h"
#include "platform/sim/SimEventLoop.h"
#include "support/SimFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace trelk::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kSample = "(Belt A)[North]\\1 2 3\\4 5 6[South]\\7 8 9(Belt B)[X]\\0 0 0";

struct Sent {
    std::string text;
    int channel;
    bool operator==(const Sent&) const = default;
};

std::shared_ptr<const DataListSnapshot> Snapshot(const std::string& text, bool noData = false,
                                                 bool indexed = true) {
    return std::make_shared<const DataListSnapshot>(
        DataListSnapshot{text, CountWords(text, "("), noData,
                         indexed ? ListTextIndex(text) : ListTextIndex(), true});
}

// The database pages with a stand-in for the menu's ChangeLevel and ListStep.
class DatabasePagesTest : public ::testing::Test {
protected:
    DatabasePagesTest() : pages(nav, rig.page, hooks()) {
        for (const char* name : {"Mining Database", "Pattern Database", "Information Database"}) {
            nav.Menus.push_back({name, 4});
        }
        SetMode(0);
    }

    DatabasePages::Hooks hooks() {
        DatabasePages::Hooks h;
        h.changeLevel = [this](bool up) { ChangeLevel(up); };
        h.listStep = [this](bool up) {
            std::int32_t& slot = LevelSlot(nav.LevelSelection, nav.CurrentLevel);
            const std::int32_t n = rig.page.Record().LineCount;
            slot = up ? (slot - 1 < 0 ? n - 1 : slot - 1) : (slot + 1 > n - 1 ? 0 : slot + 1);
        };
        h.showModeList = [this] { ++modeLists; };
        h.hideConsole = [this] { rig.page.HideConsole(); };
        h.sendToChannel = [this](const std::string& text, bool clearFirst, int channel) {
            EXPECT_TRUE(clearFirst);
            sent.push_back({text, channel});
        };
        h.formatDflr = [this](const std::string& entry) {
            dflr.push_back(entry);
            rig.page.SetPageStatus(" (DFLR 5k)");
            rig.page.SelectLine(LevelSlot(nav.LevelSelection, nav.CurrentLevel));
            return std::string(" (DFLR 5k)");
        };
        h.setEntrySent = [this](bool value) { entrySent = value; };
        h.list = [this](int kind) { return lists[static_cast<std::size_t>(kind - 1)]; };
        return h;
    }

    void SetMode(int mode) {
        nav.CurrentMode = mode;
        nav.CurrentModeName = nav.Menus[static_cast<std::size_t>(mode)].Name;
    }
    void ChangeLevel(bool up) {
        if (up && nav.CurrentLevel > 0) {
            --nav.CurrentLevel;
        } else if (!up && nav.CurrentLevel < 4) {
            ++nav.CurrentLevel;
        }
        if (pages.SelectDatabase(nav.CurrentMode)) {
            pages.DatabaseLevel(up);
        }
    }
    void Down(int times = 1) {
        for (int i = 0; i < times; ++i) {
            ChangeLevel(false);
        }
    }
    void Choose(int level, std::int32_t line) { LevelSlot(nav.LevelSelection, level) = line; }

    std::vector<std::string> Shown() const {
        std::vector<std::string> lines;
        for (std::int32_t i = 0; i < rig.page.Record().LineCount; ++i) {
            lines.push_back(rig.page.Lines().At(i).substr(1));
        }
        return lines;
    }
    char Code(std::int32_t line) const { return rig.page.Lines().At(line).front(); }
    const std::string& Title() const { return rig.page.Record().TitleLine; }

    ConsoleRig rig;
    ConsoleNavigation nav;
    std::array<std::shared_ptr<const DataListSnapshot>, 3> lists = {
        Snapshot(kSample), Snapshot(kSample), Snapshot("")};
    int modeLists = 0;
    std::vector<Sent> sent;
    std::vector<std::string> dflr;
    bool entrySent = false;
    DatabasePages pages;
};

TEST_F(DatabasePagesTest, WalksGroupsSubgroupsAndEntriesOfTheList) {
    Down();
    EXPECT_EQ(Title(), "[Mining Database]");
    EXPECT_THAT(Shown(), ElementsAre("Belt A", "Belt B"));
    Down();
    EXPECT_EQ(Title(), "[Belt A]");
    EXPECT_THAT(Shown(), ElementsAre("North", "South"));
    Down();
    EXPECT_EQ(Title(), "[Belt A/North]");
    EXPECT_THAT(Shown(), ElementsAre("1 2 3", "4 5 6"));
    EXPECT_THAT(dflr, ElementsAre("1 2 3")) << "the selected entry's distance";
    EXPECT_EQ(rig.page.Record().StatusLine, " (DFLR 5k)");

    ChangeLevel(true); // back up: the sub-groups page of the same group, the status emptied
    EXPECT_THAT(Shown(), ElementsAre("North", "South"));
    EXPECT_EQ(rig.page.Record().StatusLine, "");
    ChangeLevel(true);
    Choose(1, 1);
    nav.SavedSubgroup = 0;
    Down();
    EXPECT_EQ(Title(), "[Belt B]");
    EXPECT_THAT(Shown(), ElementsAre("X"));
    EXPECT_EQ(pages.GroupIndex(), 2);

    ChangeLevel(true);
    ChangeLevel(true);
    EXPECT_EQ(modeLists, 1);
}

TEST_F(DatabasePagesTest, SendsTheEntryMarksItOnEnterAndResendsOnChannel3) {
    rig.page.ShowConsole();
    Down(3);
    Choose(3, 1);
    Down();
    EXPECT_FALSE(rig.page.ConsoleVisible());
    EXPECT_THAT(sent, ElementsAre(Sent{"/lumacor 4 5 6", 5}));
    EXPECT_TRUE(entrySent);
    EXPECT_TRUE(pages.EntrySendMode());
    EXPECT_EQ(nav.CurrentLevel, 3);
    EXPECT_EQ(Code(1), 5) << "the entries page is not redrawn by sending";

    pages.MarkSentEntry();
    EXPECT_FALSE(entrySent);
    EXPECT_EQ(Code(0), 5);
    EXPECT_EQ(Code(1), 3) << "drawn in the marker colour";
    EXPECT_EQ(rig.page.SelectedLine(), 1);

    rig.page.ShowConsole();
    Down();
    EXPECT_EQ(sent.back(), (Sent{"/lumacor 4 5 6", 3}));

    // With the console closed the next-entry key steps on, wrapping, and types the distance.
    pages.NextEntry(false);
    EXPECT_EQ(sent.back(), (Sent{"/lumacor 1 2 3  (DFLR 5k)", 5}));
    EXPECT_EQ(nav.LevelSelection[3], 0);
    pages.NextEntry(true);
    EXPECT_EQ(sent.back(), (Sent{"/lumacor 4 5 6  (DFLR 5k)", 3}));
    pages.NextEntry(true);
    pages.NextEntry(true);
    EXPECT_EQ(pages.EntryIndex(), 2);

    const std::size_t before = sent.size();
    rig.page.ShowConsole();
    pages.NextEntry(false);
    EXPECT_EQ(sent.size(), before) << "only with the console closed";

    pages.ResetEntryCodes(); // "//reset"
    EXPECT_EQ(pages.EntryCode(2), 5);
    nav.CurrentLevel = 1;
    ChangeLevel(true);
    EXPECT_FALSE(pages.EntrySendMode()) << "cleared on the mode list";
}

TEST_F(DatabasePagesTest, InformationDatabaseSendsOnlyCommandEntries) {
    const std::string longCommand = "&/" + std::string(300, 'x');
    lists[2] = Snapshot("(Chat)[Cmds]\\&/who\\read me\\" + longCommand);
    SetMode(2);
    rig.page.ShowConsole();
    Down(3);
    EXPECT_THAT(Shown(), ElementsAre("/who", "read me", longCommand.substr(1)));
    EXPECT_THAT(dflr, IsEmpty()) << "no distance for information entries";

    Choose(3, 1);
    Down();
    EXPECT_THAT(sent, IsEmpty());
    EXPECT_TRUE(rig.page.ConsoleVisible());
    EXPECT_EQ(nav.CurrentLevel, 3);

    Choose(3, 0);
    Down();
    EXPECT_THAT(sent, ElementsAre(Sent{"/who", 5}));
    EXPECT_FALSE(rig.page.ConsoleVisible());
    pages.NextEntry(false);
    EXPECT_EQ(sent.size(), 1u) << "the next-entry key is for coordinates only";

    rig.page.ShowConsole();
    Choose(3, 2);
    Down();
    EXPECT_EQ(sent.back().text, longCommand.substr(1, 256));
}

TEST_F(DatabasePagesTest, AListNotPublishedShowsLoadingAndChoosesNothing) {
    for (const int mode : {0, 2}) {
        lists[static_cast<std::size_t>(mode)] = std::make_shared<const DataListSnapshot>();
        SetMode(mode);
        nav.CurrentLevel = 0;
        rig.page.ShowConsole();
        Down();
        EXPECT_EQ(Title(), "[" + nav.CurrentModeName + "]");
        EXPECT_THAT(Shown(), ElementsAre("Loading Data"));
        EXPECT_EQ(Code(0), 3);
        Down(3);
        EXPECT_EQ(nav.CurrentLevel, 1);
        EXPECT_THAT(Shown(), ElementsAre("Loading Data"));
        EXPECT_THAT(sent, IsEmpty());
        EXPECT_FALSE(entrySent);
        EXPECT_FALSE(pages.EntrySendMode());
    }
    // Published: the page on screen becomes the groups page; another kind's list changes
    // nothing on screen.
    lists[0] = Snapshot(kSample);
    pages.ListRebuilt(1);
    EXPECT_THAT(Shown(), ElementsAre("Loading Data"));
    lists[2] = Snapshot("(Chat)[Cmds]\\&/who");
    pages.ListRebuilt(3);
    EXPECT_THAT(Shown(), ElementsAre("Chat"));
    EXPECT_EQ(nav.CurrentLevel, 1);
}

TEST_F(DatabasePagesTest, ARebuildEndsOnlyTheWalkOfItsOwnList) {
    rig.page.ShowConsole();
    Down(3);
    Choose(3, 1);
    Down(); // "4 5 6" sent
    ASSERT_EQ(sent.size(), 1u);
    // Another list rebuilt: this walk goes on where it was.
    lists[1] = Snapshot("(Other)[S]\\9 9 9");
    pages.ListRebuilt(2);
    pages.NextEntry(false);
    EXPECT_EQ(sent.back(), (Sent{"/lumacor 1 2 3  (DFLR 5k)", 5}));

    // Its own list rebuilt: the walk ends and the entries page on screen is replaced.
    rig.page.ShowConsole();
    lists[0] = Snapshot("(New)[S]\\7 7 7");
    pages.ListRebuilt(1);
    EXPECT_EQ(nav.CurrentLevel, 1);
    EXPECT_THAT(Shown(), ElementsAre("New"));
    EXPECT_FALSE(entrySent);
    EXPECT_FALSE(pages.EntrySendMode());
    rig.page.HideConsole();
    pages.NextEntry(false);
    EXPECT_EQ(sent.size(), 2u);
}

TEST_F(DatabasePagesTest, AListWithoutDataCannotBeEntered) {
    lists[0] = Snapshot(std::string(NoDataListText), true);
    Down();
    EXPECT_THAT(Shown(), ElementsAre("***No Data Found***"));
    Down();
    EXPECT_EQ(nav.CurrentLevel, 1);
    EXPECT_EQ(Title(), "[Mining Database]");
    EXPECT_EQ(pages.GroupIndex(), 0) << "nothing parsed";
}

TEST_F(DatabasePagesTest, OddListTextsParseByTheWordRules) {
    // Double backslashes make no empty entry; a sub-group without a backslash is one entry;
    // text before the first "(" is a group; a list without an index is indexed on first use.
    lists[0] = Snapshot("lost(G)[S]\\a\\\\b\\[T]", false, false);
    Down();
    EXPECT_THAT(Shown(), ElementsAre("lost", "G"));
    Choose(1, 1);
    Down(2);
    EXPECT_THAT(Shown(), ElementsAre("a", "b"));
    ChangeLevel(true);
    Choose(2, 1);
    nav.SavedEntry = 0;
    Down();
    EXPECT_EQ(Title(), "[G/T]");
    EXPECT_THAT(Shown(), ElementsAre("T]"));
}

TEST_F(DatabasePagesTest, NoIndexOrSelectionReachesOutsideItsArrays) {
    rig.page.ShowConsole();
    Down(3);
    // Selections past the lists and negative ones stay on the page.
    nav.SavedEntry = 40;
    pages.EntriesPage(true);
    EXPECT_EQ(nav.LevelSelection[3], 1);
    nav.SavedGroup = -7;
    nav.CurrentLevel = 1;
    pages.GroupsPage(true);
    EXPECT_EQ(nav.LevelSelection[1], 0);

    // Entry positions outside the list: nothing is marked or sent, nothing breaks.
    nav.CurrentLevel = 3;
    pages.SetEntryIndex(99);
    pages.MarkSentEntry();
    pages.SetEntryIndex(-5);
    pages.MarkSentEntry();
    EXPECT_THAT(pages.EntryCodes(), ElementsAre(5, 5, 5));
    EXPECT_EQ(pages.EntryCode(99), 5);
    EXPECT_EQ(pages.EntryCode(-1), 5);
    nav.CurrentLevel = 5;
    pages.DatabaseLevel(false);
    nav.CurrentLevel = -2;
    pages.DatabaseLevel(false);

    // An empty sub-group: its page is empty and choosing on it types nothing.
    lists[0] = Snapshot("(G)[Empty]\\\\[Full]\\1 1 1");
    pages.ResetBrowsing();
    EXPECT_FALSE(entrySent);
    nav.CurrentLevel = 1;
    Choose(1, 0);
    nav.SavedSubgroup = 0;
    nav.SavedEntry = 0;
    Down(2);
    EXPECT_THAT(Shown(), IsEmpty());
    Choose(3, -1);
    Down();
    EXPECT_THAT(sent, IsEmpty());
    EXPECT_TRUE(rig.page.ConsoleVisible());
    rig.page.HideConsole();
    pages.NextEntry(false);
    pages.NextEntry(true);
    EXPECT_THAT(sent, IsEmpty());

    // The list shrinks under a remembered group: the walk goes on in the new list.
    nav.SavedGroup = 3;
    lists[0] = Snapshot("(Only)[One]\\2 2 2");
    pages.ResetBrowsing();
    nav.CurrentLevel = 0;
    Down();
    EXPECT_EQ(nav.LevelSelection[1], 0);
    Down(2);
    EXPECT_EQ(Title(), "[Only/One]");
    Down();
    EXPECT_THAT(sent, ElementsAre(Sent{"/lumacor 2 2 2", 5}));
}

// --- The fast parse against the word rules applied literally ---

// The rules as written: a word is a maximal run of non-separators, counted from the start.
std::string RefNthWord(int n, const std::string& s, const std::string& seps) {
    int count = 0;
    std::string word;
    for (std::size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || seps.find(s[i]) != std::string::npos) {
            if (!word.empty() && ++count == n) {
                return word;
            }
            word.clear();
        } else {
            word += s[i];
        }
    }
    return "";
}

int RefCountWords(const std::string& s, const std::string& seps) {
    int n = 0;
    while (!RefNthWord(n + 1, s, seps).empty()) {
        ++n;
    }
    return n;
}

std::string RefNthBetween(int n, const std::string& s, char opening, char closing) {
    std::size_t i = 0;
    for (int run = 1; i < s.size(); ++run) {
        while (i < s.size() && s[i] == opening) {
            ++i;
        }
        const std::size_t start = i;
        while (i < s.size() && s[i] != opening) {
            ++i;
        }
        if (run == n && start < s.size()) {
            return s.substr(start, std::min(s.find(closing, start), i) - start);
        }
    }
    return "";
}

// Deletes up to and including the first ch; nothing without one.
std::string DeleteThrough(std::string s, char ch) {
    const std::size_t at = s.find(ch);
    return at == std::string::npos ? s : s.substr(at + 1);
}

std::string RandomListText(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        "(", "((", ")",  "[",     "[[",  "]",   "\\",  "\\\\",          "&",
        " ", "a",  "bc", "1 2 3", "(G)", "[S]", "\\e", "(G2)[S2]\\x\\y"};
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 24);
    std::string text;
    for (int i = length(random); i > 0; --i) {
        text += pieces[piece(random)];
    }
    return text;
}

TEST(ListTextIndexTest, GivesWhatCountingWordsFromTheStartGives) {
    std::mt19937 random(4711);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = RandomListText(random);
        const ListTextIndex index(text);
        const int groups = RefCountWords(text, "(");
        ASSERT_EQ(index.Count(), groups) << text;
        ASSERT_EQ(CountWords(text, "("), groups) << text;
        for (int g = 0; g <= groups + 1; ++g) {
            ASSERT_EQ(index.Title(text, g), RefNthBetween(g, text, '(', ')')) << text << " " << g;
            ASSERT_EQ(NthWord(g, text, "("), RefNthWord(g, text, "(")) << text << " " << g;

            // ParseGroup
            const std::string word = RefNthWord(g, text, "(");
            ASSERT_EQ(index.Group(text, g), word) << text << " " << g;
            const ListGroup group = ParseListGroup(index.Group(text, g));
            const std::string groupText = DeleteThrough(word, '[');
            ASSERT_EQ(group.name, RefNthWord(1, word, "()")) << text << " " << g;
            ASSERT_EQ(group.text, groupText) << text << " " << g;
            const int subgroups = RefCountWords(groupText, "[");
            ASSERT_EQ(group.subgroups.size(), static_cast<std::size_t>(subgroups)) << text;

            for (int s = 1; s <= subgroups; ++s) {
                // The sub-groups page, then ParseSubgroup.
                const std::string_view sub = group.subgroups[static_cast<std::size_t>(s - 1)];
                ASSERT_EQ(UpTo(sub, ']'), RefNthBetween(s, groupText, '[', ']')) << text;
                const std::string subWord = RefNthWord(s, groupText, "[");
                const ListSubgroup parsed = ParseListSubgroup(sub);
                const std::string entriesText = DeleteThrough(subWord, '\\');
                ASSERT_EQ(parsed.name, RefNthWord(1, subWord, "[]")) << text;
                ASSERT_EQ(parsed.text, entriesText) << text;
                const int entries = RefCountWords(entriesText, "\\");
                ASSERT_EQ(parsed.entries.size(), static_cast<std::size_t>(entries)) << text;
                for (int k = 1; k <= entries; ++k) {
                    ASSERT_EQ(parsed.entries[static_cast<std::size_t>(k - 1)],
                              RefNthWord(k, entriesText, "\\"))
                        << text;
                }
            }
        }
    }
}

// The pages never count groups on the main thread: every published list carries its index.
TEST(ListTextIndexTest, PublishedListsCarryTheirGroupIndex) {
    SimFileSystem files;
    SimFolder app{files};
    app.write("trelkpro.ini", "[DataList]\r\nRoidFiles=a.dat;\r\nDBFiles=gone.dat;\r\n");
    app.write("a.dat", "(One)\r\n[S]\r\n1 2 3\r\n(Two)\r\n");
    SimEventLoop loop;
    DataLists lists(loop, files, app.dir(), app.file("trelkpro.ini"), {}, {}, {}, {});
    lists.RestoreDataLists();
    ASSERT_TRUE(lists.StartDataListWorker());
    while (loop.pendingCount() == 0) {
        std::this_thread::yield();
    }
    loop.processPendingMessages();
    lists.LoadDataList(DataKind::Info);
    for (const int kind : {DataKind::Roid, DataKind::Info}) {
        const auto list = lists.List(kind);
        EXPECT_TRUE(list->groups.Covers(list->text)) << kind;
        EXPECT_EQ(list->groups.Count(), list->groupCount) << kind;
    }
    EXPECT_EQ(lists.List(DataKind::Roid)->groups.Title(lists.List(DataKind::Roid)->text, 2), "Two");
}

} // namespace
} // namespace trelk::testing
