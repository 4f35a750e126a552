// The per-user store on a real SQLite file: the registry semantics that add-ons rely on, two
// connections on one file, permissions, and the failures of a locked or foreign file.

#include "platform/linux/SqliteUserStore.h"

#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

namespace trelk {
namespace {

using ::testing::HasSubstr;
using testing::TempFolder;
using Values = std::vector<std::pair<std::string, std::string>>;
using Names = std::vector<std::string>;

const std::string Interface = "Software\\TrelkPro\\Interface";

unsigned FileMode(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777U;
}

class SqliteUserStoreTest : public ::testing::Test {
protected:
    TempFolder dir;
    const std::string dbPath = dir.file("registry.db");
    SqliteUserStore store{dbPath};
};

TEST_F(SqliteUserStoreTest, KeyPathsAndValueNamesCompareWithoutCase) {
    ASSERT_TRUE(store.setString("\\Software\\TrelkPro\\Interface", "Cursor", "up"))
        << store.lastError();
    EXPECT_EQ(store.getString("software\\trelkpro\\interface\\", "cursor"), "up");

    // The system writes "Cursor" and "cursor" for one value: one row, the first spelling.
    ASSERT_TRUE(store.setString("SOFTWARE\\TRELKPRO\\INTERFACE", "cursor", "down"));
    EXPECT_EQ(store.values(Interface), (Values{{"Cursor", "down"}}));
    EXPECT_EQ(store.subkeys("software"), Names{"TrelkPro"});

    ASSERT_TRUE(store.deleteValue(Interface, "CURSOR"));
    EXPECT_EQ(store.getString(Interface, "Cursor"), std::nullopt);
    EXPECT_TRUE(store.keyExists(Interface));
}

TEST_F(SqliteUserStoreTest, SetStringCreatesTheKeyAndItsParents) {
    EXPECT_FALSE(store.keyExists("Software"));
    ASSERT_TRUE(store.setString(Interface, "Input", "")) << store.lastError();

    EXPECT_TRUE(store.keyExists("Software"));
    EXPECT_TRUE(store.keyExists("Software\\TrelkPro"));
    EXPECT_TRUE(store.values("Software\\TrelkPro").empty());
    // An empty value exists; a missing one is no failure.
    EXPECT_EQ(store.getString(Interface, "Input"), std::optional<std::string>(""));
    EXPECT_EQ(store.getString(Interface, "Missing"), std::nullopt);
    EXPECT_EQ(store.lastError(), "");
}

TEST_F(SqliteUserStoreTest, ValuesAndSubkeysAreListedInNameOrderWithoutCase) {
    for (const char* name : {"b", "A", "C"}) {
        ASSERT_TRUE(store.setString("K", name, std::string("v") + name));
    }
    for (const char* subkey : {"K\\zeta", "K\\Alpha", "K\\beta\\deep"}) {
        ASSERT_TRUE(store.setString(subkey, "x", ""));
    }
    EXPECT_EQ(store.values("K"), (Values{{"A", "vA"}, {"b", "vb"}, {"C", "vC"}}));
    EXPECT_EQ(store.subkeys("k"), (Names{"Alpha", "beta", "zeta"}));
    EXPECT_EQ(store.subkeys(""), Names{"K"});
}

TEST_F(SqliteUserStoreTest, DeleteKeyTakesSubkeysAlongButNoSiblingWithTheSamePrefix) {
    ASSERT_TRUE(store.setString("A", "v", "a"));
    ASSERT_TRUE(store.setString("A\\B", "v", "b"));
    ASSERT_TRUE(store.setString("A\\B\\C", "v", "c"));
    ASSERT_TRUE(store.setString("A\\BC", "v", "bc"));
    ASSERT_TRUE(store.setString("A\\B]", "v", "bracket"));

    ASSERT_TRUE(store.deleteKey("a\\b\\")) << store.lastError();

    EXPECT_FALSE(store.keyExists("A\\B"));
    EXPECT_FALSE(store.keyExists("A\\B\\C"));
    EXPECT_EQ(store.getString("A", "v"), "a");
    EXPECT_EQ(store.getString("A\\BC", "v"), "bc");
    EXPECT_EQ(store.getString("A\\B]", "v"), "bracket");
    EXPECT_EQ(store.subkeys("A"), (Names{"B]", "BC"}));
    // A key created again starts empty.
    ASSERT_TRUE(store.setString("A\\B\\C", "w", "new"));
    EXPECT_EQ(store.values("A\\B\\C"), (Values{{"w", "new"}}));
    EXPECT_TRUE(store.values("A\\B").empty());
    // Deleting what is not there succeeds.
    EXPECT_TRUE(store.deleteKey("Nowhere"));
    EXPECT_TRUE(store.deleteValue("Nowhere", "nothing"));
    EXPECT_FALSE(store.deleteKey("\\")) << "the root key cannot be deleted";
}

TEST_F(SqliteUserStoreTest, ValuesAreBytesStoredExactly) {
    const std::string bytes("Caf\xE9 \x00\r\n\x80\xFF=end", 14);
    ASSERT_TRUE(store.setString("K", "Title", bytes));
    EXPECT_EQ(store.getString("K", "Title"), bytes);
    EXPECT_EQ(store.values("K"), (Values{{"Title", bytes}}));
}

TEST_F(SqliteUserStoreTest, AnEmptySegmentIsNoKeyPath) {
    EXPECT_FALSE(store.setString("A\\\\B", "n", "v"));
    EXPECT_THAT(store.lastError(), HasSubstr("not a valid key path"));
    EXPECT_FALSE(store.keyExists("A"));
}

TEST_F(SqliteUserStoreTest, TwoStoresOnOneFileSeeEachOthersWritesAtOnce) {
    SqliteUserStore addon(dbPath);
    ASSERT_TRUE(addon.setString(Interface, "AppReg", "Radar"));
    EXPECT_EQ(store.getString(Interface, "appreg"), "Radar");

    // Both connections are open now; neither may answer from an old snapshot.
    ASSERT_TRUE(store.setString(Interface, "AppReg", ""));
    EXPECT_EQ(addon.getString(Interface, "AppReg"), "");
    ASSERT_TRUE(addon.deleteKey("Software\\TrelkPro"));
    EXPECT_FALSE(store.keyExists(Interface));
}

TEST_F(SqliteUserStoreTest, ANewFolderIsPrivateAndANewFileReadableByTheUserOnly) {
    const mode_t oldMask = ::umask(022);
    SqliteUserStore nested(dir.file("config/TrelkPro/registry.db"));
    const bool written = nested.setString("K", "n", "v");
    ::umask(oldMask);
    ASSERT_TRUE(written) << nested.lastError();

    EXPECT_EQ(FileMode(dir.file("config")), 0700U);
    EXPECT_EQ(FileMode(dir.file("config/TrelkPro")), 0700U);
    EXPECT_EQ(FileMode(dir.file("config/TrelkPro/registry.db")), 0600U);

    // A file the user made shared on purpose keeps its mode.
    ASSERT_TRUE(store.setString("K", "n", "v"));
    ASSERT_EQ(::chmod(dbPath.c_str(), 0640), 0);
    SqliteUserStore again(dbPath);
    ASSERT_TRUE(again.setString("K", "n", "w"));
    EXPECT_EQ(FileMode(dbPath), 0640U);
}

TEST_F(SqliteUserStoreTest, AWriterHoldingTheLockMakesWritesFailUntilItReleases) {
    SqliteUserStore impatient(dbPath, 100);
    ASSERT_TRUE(impatient.setString(Interface, "Cursor", "up"));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    EXPECT_FALSE(impatient.setString(Interface, "Cursor", "down"));
    EXPECT_THAT(impatient.lastError(), HasSubstr(dbPath));
    EXPECT_THAT(impatient.lastError(), HasSubstr("locked"));
    // Readers (the add-on poll) are not held up by a writer.
    EXPECT_EQ(impatient.getString(Interface, "Cursor"), "up");

    ASSERT_EQ(sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    EXPECT_TRUE(impatient.setString(Interface, "Cursor", "down")) << impatient.lastError();
    EXPECT_EQ(impatient.lastError(), "");
    EXPECT_EQ(store.getString(Interface, "Cursor"), "down");
}

TEST_F(SqliteUserStoreTest, AFileThatIsNoDatabaseFailsWithAMessageAndStaysUntouched) {
    const std::string foreign(4096, '#');
    linuxtest::WriteFile(dbPath, foreign);

    EXPECT_EQ(store.getString(Interface, "Cursor"), std::nullopt);
    EXPECT_THAT(store.lastError(), HasSubstr(dbPath));
    EXPECT_THAT(store.lastError(), HasSubstr("not a database"));
    EXPECT_FALSE(store.setString(Interface, "Cursor", "up"));
    EXPECT_TRUE(store.values(Interface).empty());
    EXPECT_FALSE(store.lastError().empty());
    EXPECT_EQ(linuxtest::ReadFile(dbPath), foreign);

    // Every call tries again: once the file is gone, the store works.
    std::filesystem::remove(dbPath);
    EXPECT_TRUE(store.setString(Interface, "Cursor", "up")) << store.lastError();
}

TEST_F(SqliteUserStoreTest, AFolderThatCannotBeCreatedIsReported) {
    linuxtest::WriteFile(dir.file("plain"), "a file, not a folder");
    SqliteUserStore blocked(dir.file("plain/registry.db"));
    EXPECT_FALSE(blocked.setString("K", "n", "v"));
    EXPECT_THAT(blocked.lastError(), HasSubstr(dir.file("plain")));
}

} // namespace
} // namespace trelk
