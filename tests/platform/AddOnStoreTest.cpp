// The add-on exchange over the real SQLite store: the change stamp, the conditional writes in
// one transaction, add-on processes written with the add-on kit writing while the program
// polls, and a store that is locked, deleted or broken under a running poll.

#include "addons/AddOnModules.h"
#include "platform/linux/SqliteUserStore.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimDebugOutput.h"
#include "platform/sim/SimTimerFactory.h"
#include "support/LinuxTestSupport.h"
#include "support/NullOverlay.h"
#include "support/TempFolder.h"

#include <QProcess>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>

namespace trelk {
namespace {

using ::testing::HasSubstr;
using testing::TempFolder;

constexpr const char* Interface = "Software\\TrelkPro\\Interface";

class AddOnStoreTest : public ::testing::Test {
protected:
    AddOnStoreTest() { linuxtest::TestApplication(); }

    AddOnModules::Hooks hooks() {
        return {.reportDuringPlay = [this](const std::string& m) { reports.push_back(m); }};
    }
    // A second connection, as another process has it.
    void otherWrites(const std::string& name, const std::string& value) {
        SqliteUserStore other(dbPath);
        ASSERT_TRUE(other.setString(Interface, name, value)) << other.lastError();
    }

    TempFolder dir;
    const std::string dbPath = dir.file("registry.db");
    SqliteUserStore store{dbPath};
    ManualClock clock;
    SimTimerFactory timers{clock};
    SimDebugOutput debug;
    TraceOutput trace{debug};
    testing::NullOverlay overlay;
    ConsolePage page{overlay, trace, {}};
    std::vector<std::string> reports;
    AddOnModules addOns{store, timers, page, hooks()};
};

TEST_F(AddOnStoreTest, TheChangeStampMovesForOtherConnectionsAndANewFileOnly) {
    ASSERT_TRUE(store.setString(Interface, "TrelkProStartUp", "1"));
    const auto first = store.changeStamp();
    ASSERT_TRUE(first) << store.lastError();
    EXPECT_EQ(store.changeStamp(), first);
    ASSERT_TRUE(store.setString(Interface, "Cursor", "UpList"));
    EXPECT_EQ(store.changeStamp(), first) << "its own write is no news to the reader";

    otherWrites("AppReg", "Miner");
    const auto second = store.changeStamp();
    EXPECT_NE(second, first);
    EXPECT_EQ(store.changeStamp(), second);

    // Deleted under the open connection: the path is opened again and starts empty.
    std::filesystem::remove(dbPath);
    std::filesystem::remove(dbPath + "-wal");
    std::filesystem::remove(dbPath + "-shm");
    const auto third = store.changeStamp();
    ASSERT_TRUE(third) << store.lastError();
    EXPECT_NE(third, second);
    EXPECT_EQ(store.getString(Interface, "AppReg"), std::nullopt);
}

TEST_F(AddOnStoreTest, ConditionalWritesHappenOnlyWhileTheValuesHoldWhatWasRead) {
    ASSERT_TRUE(store.setString(Interface, "AppReg", "Miner"));
    const auto made = store.writeValues(
        Interface, {{"AppReg", "", {{"AppReg", "Miner"}}},
                    {"AppExe", "", {{"AppExe", "/not/this"}}},
                    {"Missing", "x", {{"Missing", ""}}}, // a missing value holds ""
                    {"AddOnRegList", "Miner,", {}}});
    ASSERT_TRUE(made) << store.lastError();
    EXPECT_EQ(*made, (std::vector<bool>{true, false, true, true}));
    EXPECT_EQ(store.getString(Interface, "AppReg"), "");
    EXPECT_EQ(store.getString(Interface, "Missing"), "x");
    EXPECT_EQ(store.getString(Interface, "appexe"), std::nullopt);
}

TEST_F(AddOnStoreTest, TwoAddOnProcessesWritingTenThousandRequestsEachLoseNothing) {
    ASSERT_TRUE(store.setString(Interface, "TrelkProStartUp", "1"));
    constexpr int Pairs = 5000; // a registration and an unregistration each: 10,000 writes
    std::vector<std::unique_ptr<QProcess>> writers;
    for (const char* prefix : {"A", "B"}) {
        auto writer = std::make_unique<QProcess>();
        writer->start("python3", {TRELK_TESTS_DIR "/platform/addon_writer.py", TRELK_ADDON_KIT_DIR,
                                  QString::fromStdString(dbPath), prefix, QString::number(Pairs)});
        ASSERT_TRUE(writer->waitForStarted()) << writer->errorString().toStdString();
        writers.push_back(std::move(writer));
    }
    addOns.Start();
    auto running = [&] {
        return std::any_of(writers.begin(), writers.end(),
                           [](const auto& w) { return w->state() != QProcess::NotRunning; });
    };
    // As fast as the store lets it, not every 200 ms: the add-ons wait for every request.
    while (running()) {
        addOns.tmrAddonTimer();
        for (auto& writer : writers) {
            writer->waitForFinished(0);
        }
    }
    addOns.tmrAddonTimer();
    addOns.tmrAddonTimer();

    for (auto& writer : writers) {
        EXPECT_EQ(writer->exitCode(), 0) << writer->readAllStandardError().toStdString();
        EXPECT_EQ(writer->readAllStandardError().toStdString(), "");
    }
    EXPECT_EQ(addOns.Registrations(), 2U * Pairs);
    EXPECT_EQ(addOns.Unregistrations(), 2U * Pairs);
    EXPECT_TRUE(addOns.Rows().empty());
    EXPECT_EQ(store.getString(Interface, "AppReg"), "");
    EXPECT_EQ(store.getString(Interface, "AppUnReg"), "");
    EXPECT_TRUE(reports.empty()) << reports.front();
}

TEST_F(AddOnStoreTest, ALockedStoreDelaysTheEmptyingButLosesNothing) {
    ASSERT_TRUE(store.setString(Interface, "AppReg", "Miner"));
    sqlite3* locker = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.c_str(), &locker), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(locker, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    SqliteUserStore impatient(dbPath);
    AddOnModules poll(impatient, timers, page, hooks());
    poll.tmrAddonTimer();
    EXPECT_EQ(poll.Names(), std::vector<std::string>{"Miner"}) << "reading is not locked out";
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_THAT(reports[0], HasSubstr("locked"));
    poll.tmrAddonTimer();
    EXPECT_EQ(reports.size(), 1U) << "said once";
    EXPECT_EQ(impatient.getString(Interface, "AppReg"), "Miner");

    sqlite3_exec(locker, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(locker);
    for (int i = 0; i <= AddOnModules::PollsSkippedAfterFailure; ++i) {
        poll.tmrAddonTimer();
    }
    EXPECT_EQ(impatient.getString(Interface, "AppReg"), "");
    EXPECT_EQ(impatient.getString(Interface, "AddOnRegList"), "Miner,");
    EXPECT_EQ(poll.Names().size(), 1U) << "handled again, listed once";
}

TEST_F(AddOnStoreTest, ACorruptedStoreIsSaidAndTheExchangeResumesWithANewOne) {
    addOns.Start();
    ASSERT_TRUE(store.setString(Interface, "AppReg", "Miner"));
    addOns.tmrAddonTimer();
    ASSERT_EQ(addOns.Names().size(), 1U);

    // Another file in its place, which is no database.
    dir.write("garbage", std::string(8192, '\x5a'));
    std::filesystem::rename(dir.file("garbage"), dbPath);
    std::filesystem::remove(dbPath + "-wal");
    std::filesystem::remove(dbPath + "-shm");
    for (int i = 0; i < 3 * AddOnModules::PollsSkippedAfterFailure; ++i) {
        addOns.tmrAddonTimer();
    }
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_THAT(reports[0], HasSubstr("not a database"));

    std::filesystem::remove(dbPath);
    for (int i = 0; i <= AddOnModules::PollsSkippedAfterFailure; ++i) {
        addOns.tmrAddonTimer();
    }
    EXPECT_EQ(store.getString(Interface, "TrelkProStartUp"), "1");
    EXPECT_EQ(store.getString(Interface, "AddOnRegList"), "Miner,");
    EXPECT_THAT(reports.back(), HasSubstr("works again"));
}

} // namespace
} // namespace trelk
