// trelk-reg run as a child process, as add-ons and end-to-end tests run it: its output format,
// exit codes and the store it picks.

#include "platform/linux/SqliteUserStore.h"
#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace trelk {
namespace {

using ::testing::HasSubstr;
using testing::TempFolder;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class TrelkRegTest : public ::testing::Test {
protected:
    void SetUp() override {
        linuxtest::TestApplication();
        // The user's own store is never touched: every default location points here.
        env.insert("TRELK_REGISTRY", QString::fromStdString(dbPath));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(dir.file("xdg")));
        env.insert("HOME", QString::fromStdString(dir.file("home")));
    }

    ToolRun run(const std::vector<std::string>& args) {
        QStringList arguments;
        for (const std::string& arg : args) {
            arguments << QString::fromStdString(arg);
        }
        QProcess tool;
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(TRELK_TOOLS_DIR "/trelk-reg"), arguments);
        ToolRun result;
        if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit) {
            ADD_FAILURE() << "trelk-reg did not finish: " << tool.errorString().toStdString();
            return result;
        }
        result.exitCode = tool.exitCode();
        result.out = tool.readAllStandardOutput().toStdString();
        result.err = tool.readAllStandardError().toStdString();
        return result;
    }

    TempFolder dir;
    const std::string dbPath = dir.file("registry.db");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
};

TEST_F(TrelkRegTest, SetThenGetUseTheStoreNamedByTrelkRegistry) {
    const std::string value = "Radar Addon = \xC3\xA4 1.0";
    EXPECT_EQ(run({"set", "Software\\TrelkPro\\Interface", "AppReg", value}).exitCode, 0);

    const ToolRun get = run({"get", "\\software\\trelkpro\\interface\\", "appreg"});
    EXPECT_EQ(get.exitCode, 0) << get.err;
    EXPECT_EQ(get.out, value + "\n");

    SqliteUserStore store(dbPath);
    EXPECT_EQ(store.getString("Software\\TrelkPro\\Interface", "AppReg"), value);
    EXPECT_FALSE(std::filesystem::exists(dir.file("xdg")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("home")));
}

TEST_F(TrelkRegTest, WithoutTrelkRegistryTheStoreIsInTheConfigFolder) {
    env.remove("TRELK_REGISTRY");
    ASSERT_EQ(run({"set", "K", "n", "v"}).exitCode, 0);

    const std::string expected = dir.file("xdg/TrelkPro/registry.db");
    EXPECT_EQ(SqliteUserStore(expected).getString("K", "n"), "v");
    struct stat info {};
    ASSERT_EQ(::stat(expected.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777U, 0600U);
}

TEST_F(TrelkRegTest, ListPrintsValuesThenSubkeysInNameOrder) {
    SqliteUserStore store(dbPath);
    ASSERT_TRUE(store.setString("K", "b", "2"));
    ASSERT_TRUE(store.setString("K", "A", "x=y"));
    ASSERT_TRUE(store.setString("K\\Zulu", "n", ""));
    ASSERT_TRUE(store.setString("K\\mike\\deeper", "n", ""));

    const ToolRun list = run({"list", "k"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "A=x=y\nb=2\n[mike]\n[Zulu]\n");

    EXPECT_EQ(run({"list", "Nowhere"}).exitCode, 1);
}

TEST_F(TrelkRegTest, GetOfAMissingValueExitsWithOneAndPrintsNothing) {
    SqliteUserStore store(dbPath);
    ASSERT_TRUE(store.setString("K", "n", "v"));

    const ToolRun get = run({"get", "K", "other"});
    EXPECT_EQ(get.exitCode, 1);
    EXPECT_EQ(get.out, "");
}

TEST_F(TrelkRegTest, DelRemovesOneValueOrAKeyWithItsSubkeys) {
    SqliteUserStore store(dbPath);
    ASSERT_TRUE(store.setString("A\\B", "one", "1"));
    ASSERT_TRUE(store.setString("A\\B", "two", "2"));
    ASSERT_TRUE(store.setString("A\\B\\C", "n", "v"));
    ASSERT_TRUE(store.setString("A\\BC", "n", "v"));

    EXPECT_EQ(run({"del", "A\\B", "ONE"}).exitCode, 0);
    EXPECT_EQ(store.values("A\\B"),
              (std::vector<std::pair<std::string, std::string>>{{"two", "2"}}));

    EXPECT_EQ(run({"del", "a\\b"}).exitCode, 0);
    EXPECT_FALSE(store.keyExists("A\\B"));
    EXPECT_FALSE(store.keyExists("A\\B\\C"));
    EXPECT_TRUE(store.keyExists("A\\BC"));
}

TEST_F(TrelkRegTest, WrongArgumentsPrintTheUsageAndExitWithTwo) {
    const std::vector<std::vector<std::string>> wrong = {
        {},      {"get", "K"},  {"set", "K", "n"},     {"list"},
        {"del"}, {"frob", "K"}, {"get", "K", "n", "x"}};
    for (const auto& args : wrong) {
        const ToolRun result = run(args);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(args);
        EXPECT_THAT(result.err, HasSubstr("usage: trelk-reg"));
    }
    EXPECT_FALSE(std::filesystem::exists(dbPath)) << "a usage error must not create the store";
}

TEST_F(TrelkRegTest, AStoreFailureIsReportedWithThePathAndExitsWithThree) {
    linuxtest::WriteFile(dbPath, std::string(2048, '#'));

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"get", "K", "n"}, {"set", "K", "n", "v"}, {"list", "K"}}) {
        const ToolRun result = run(args);
        EXPECT_EQ(result.exitCode, 3) << ::testing::PrintToString(args);
        EXPECT_THAT(result.err, HasSubstr(dbPath));
        EXPECT_EQ(result.out, "");
    }
}

} // namespace
} // namespace trelk
