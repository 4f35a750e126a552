#include "downloads/MarketData.h"

#include "ConsoleTestSupport.h"
#include "console/BuiltinPages.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimHttp.h"
#include "platform/sim/SimTimerFactory.h"

#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

constexpr const char* Url = "http://market.test/trlp/inv/vinventory.txt";

// A document as the market server sends it: 47 header characters and CR, then the records.
std::string Document(std::initializer_list<const char*> records) {
    std::string text = std::string(47, 'H') + "\r";
    for (const char* record : records) {
        text += "\n";
        text += record;
        text += "\r";
    }
    return text + "\n";
}

std::string SmallMarket() {
    return Document({"North Trade Station,Ores,Iron,120,45", "North Trade Station,Ores,Copper,5,9",
                     "North Trade Station,Fuels,Helium,7,300", "Vega Prime Outpost,Ores,Iron,1,2",
                     "Vega Prime Outpost,Ores,Copper,3,4", "Vega Prime Outpost,Fuels,Helium,5,6"});
}

class MarketDataTest : public ::testing::Test {
protected:
    MarketDataTest() {
        nav.CurrentModeName = "Market Database";
        nav.CurrentMode = 3;
        http.setReply(Url, {.body = SmallMarket()});
    }

    MarketData::Hooks hooks() {
        return {.setStatusText = [this](const std::string& text) { statuses.push_back(text); },
                .setTrayHint = [this](const std::string& hint) { tray = hint; },
                .caption = [] { return std::string("Trelk Pro 1.00.1 Beta"); },
                .addLogLine = [this](const std::string& line) { logLines.push_back(line); },
                .writeInterfaceValue =
                    [this](const std::string& name, const std::string& value) {
                        interface.push_back(name + "=" + value);
                    },
                .trace = [this](const std::string& line) { traces.push_back(line); }};
    }

    // Runs the loop until both workers are idle again.
    void settle() {
        while (market.DownloadRunning() || market.ParseRunning() || loop.pendingCount() > 0) {
            loop.processPendingMessages();
            std::this_thread::yield();
        }
    }
    void enable() {
        marketEnable.setChecked(true);
        settle();
    }
    std::vector<std::string> pageLines() const {
        std::vector<std::string> lines;
        for (std::int32_t n = 0; n < rig.page.Record().LineCount; ++n) {
            lines.push_back(rig.page.Lines().TextAt(n));
        }
        return lines;
    }
    void showLevel(int level, bool up = false) {
        nav.CurrentLevel = level;
        market.MarketPage(level, up);
    }

    ManualClock clock;
    SimTimerFactory timers{clock};
    SimEventLoop loop;
    SimHttp http{loop};
    std::unique_ptr<HttpClient> client = http.createClient({.name = "HTTP"});
    std::atomic<bool> shuttingDown{false};
    CheckOption marketEnable;
    int interval = 5;
    std::string url = Url;
    MarketTableSizes sizes;
    ConsoleNavigation nav;
    testing::ConsoleRig rig;
    std::vector<std::string> statuses, logLines, interface, traces;
    std::string tray;
    MarketData market{
        loop,
        timers,
        *client,
        shuttingDown,
        marketEnable,
        {.MarketUpdateInterval = interval, .ALDWYNURL = url, .sizes = [this] { return sizes; }},
        nav,
        rig.page,
        hooks()};
};

TEST_F(MarketDataTest, EnablingLoadsTheMarketWithEveryStatusOnTheWay) {
    enable();
    EXPECT_EQ(interface, std::vector<std::string>{"Server=US"});
    const std::string size = std::to_string(SmallMarket().size());
    EXPECT_EQ(statuses,
              (std::vector<std::string>{"Loading US Market Data", "Transfering: " + size,
                                        size + " bytes of " + size + " bytes.", "",
                                        "Sorting US Market Data", "Finished Market Load"}));
    EXPECT_EQ(logLines, std::vector<std::string>{"Loading US Market Data"});
    EXPECT_EQ(tray, "Trelk Pro 1.00.1 Beta\rFinished Market Load");
    EXPECT_TRUE(market.MarketLoaded());
    ASSERT_EQ(http.requests().size(), 1u);
    EXPECT_EQ(http.requests()[0].url, Url);

    // Two seconds later the status and the hint are clear again.
    timers.advance(MarketData::StatusClearMs);
    EXPECT_EQ(statuses.back(), "");
    EXPECT_EQ(tray, "Trelk Pro 1.00.1 Beta");
    EXPECT_FALSE(market.StatusTimer().enabled());
}

TEST_F(MarketDataTest, TheThreePagesShowCategoriesItemsAndCellLines) {
    enable();
    showLevel(1);
    EXPECT_EQ(rig.page.Record().TitleLine, "[Market Database]");
    EXPECT_EQ(pageLines(), (std::vector<std::string>{"Ores", "Fuels"}));

    nav.LevelSelection[1] = 0;
    showLevel(2);
    EXPECT_EQ(rig.page.Record().TitleLine, "[Market Database/Ores]");
    EXPECT_EQ(pageLines(), (std::vector<std::string>{"Iron", "Copper"}));

    nav.LevelSelection[2] = 1;
    showLevel(3);
    EXPECT_EQ(rig.page.Record().TitleLine, "[Market Database/Ores/Copper]");
    EXPECT_EQ(pageLines(), (std::vector<std::string>{"Nort Trad Stat  Q5       c9",
                                                     "Vega Prim Outp  Q3       c4"}));
    EXPECT_EQ(rig.page.Lines().At(0).front(), BuiltinPages::CodeOrdinary);

    // Back up: page 2 restores the remembered item, page 1 the category.
    nav.LevelSelection[2] = 0;
    showLevel(2, true);
    EXPECT_EQ(rig.page.SelectedLine(), 1);
    nav.MarketSelection1 = 1;
    showLevel(1, true);
    EXPECT_EQ(rig.page.SelectedLine(), 1);
}

TEST_F(MarketDataTest, WithoutLoadedDataThePagesSayUnavailable) {
    showLevel(1);
    EXPECT_EQ(pageLines(), std::vector<std::string>{MarketData::UnavailableLine});
    EXPECT_EQ(rig.page.Lines().At(0).front(), BuiltinPages::CodeMarked);

    enable();
    marketEnable.setChecked(false);
    EXPECT_EQ(statuses.back(), "Market Updates Disabled");
    EXPECT_EQ(logLines.back(), "Market Updates Disabled");
    EXPECT_FALSE(market.RefreshTimer().enabled());
    EXPECT_EQ(market.MarketUrl(), "");
    showLevel(1);
    EXPECT_EQ(pageLines(), std::vector<std::string>{MarketData::UnavailableLine});
    // Page 3 builds nothing: the page before stays.
    showLevel(3);
    EXPECT_EQ(pageLines(), std::vector<std::string>{MarketData::UnavailableLine});
}

TEST_F(MarketDataTest, AFailedDownloadSaysSoAndKeepsTheLastTablesHidden) {
    enable();
    const MarketTables* before = &market.Tables();
    for (const SimHttpReply& reply :
         {SimHttpReply{.status = 404, .body = "Not Found"}, SimHttpReply{.status = 500},
          SimHttpReply{.connectError = "Connection refused"},
          SimHttpReply{.body = std::string(48, 'H')}}) {
        http.setReply(Url, reply);
        logLines.clear();
        market.StartMarketLoad();
        settle();
        EXPECT_EQ(logLines, (std::vector<std::string>{
                                "Loading US Market Data",
                                "US Market Data Unavailable. Could not download from server."}));
        EXPECT_EQ(statuses.back(), "US Market Data Unavailable");
        EXPECT_EQ(tray, "Trelk Pro 1.00.1 Beta\rUS Market Data Unavailable");
        EXPECT_FALSE(market.MarketLoaded());
        EXPECT_EQ(&market.Tables(), before) << "the tables are not touched";
        EXPECT_EQ(market.Tables().CategoryCount, 2);
    }
    showLevel(1);
    EXPECT_EQ(pageLines(), std::vector<std::string>{MarketData::UnavailableLine});
}

TEST_F(MarketDataTest, ADocumentOfFortyNineCharactersLoadsAnEmptyMarket) {
    http.setReply(Url, {.body = std::string(48, 'H') + "\n"});
    enable();
    EXPECT_TRUE(market.MarketLoaded());
    EXPECT_EQ(statuses.back(), "Finished Market Load");
    showLevel(1);
    EXPECT_TRUE(pageLines().empty());
}

TEST_F(MarketDataTest, AMarketBeyondTheTablesIsNotLoadedAndNotCalledFinished) {
    enable();
    sizes.MarketSectors = 1;
    market.StartMarketLoad();
    settle();
    EXPECT_FALSE(market.MarketLoaded());
    EXPECT_EQ(statuses.back(), "US Market Data Unavailable");
    EXPECT_EQ(logLines.back(),
              "US Market Data Unavailable. The market data does not fit the tables.");
    EXPECT_EQ(market.Tables().LocationCount, 2) << "the last complete tables stay";
}

TEST_F(MarketDataTest, TheRefreshTimerReloadsEveryIntervalWhileEnabled) {
    enable();
    EXPECT_TRUE(market.RefreshTimer().enabled());
    EXPECT_EQ(market.RefreshTimer().interval(), 5 * 60000);
    timers.advance(5 * 60000);
    settle();
    EXPECT_EQ(http.requests().size(), 2u);

    market.seMarketUpdateIntervalChange(12);
    EXPECT_EQ(interval, 12);
    EXPECT_EQ(market.RefreshTimer().interval(), 12 * 60000);
    market.seMarketUpdateIntervalChange(99);
    EXPECT_EQ(market.SpinValue(), MarketData::MaxInterval);
    market.seMarketUpdateIntervalChange(0);
    EXPECT_EQ(interval, MarketData::MinInterval) << "never a timer that fires without pause";
    timers.advance(3 * 60000);
    settle();
    EXPECT_EQ(http.requests().size(), 3u);

    marketEnable.setChecked(false);
    timers.advance(60 * 60000);
    settle();
    EXPECT_EQ(http.requests().size(), 3u);
}

TEST_F(MarketDataTest, ASecondLoadDuringADownloadIsIgnored) {
    http.hold();
    marketEnable.setChecked(true);
    http.waitForActive(1);
    market.StartMarketLoad();
    market.StartMarketLoad();
    http.release();
    settle();
    EXPECT_EQ(http.requests().size(), 1u);
    EXPECT_TRUE(market.MarketLoaded());
}

TEST_F(MarketDataTest, ReEnablingDuringADownloadDropsItAndLoadsAgain) {
    http.hold();
    marketEnable.setChecked(true);
    http.waitForActive(1);
    marketEnable.setChecked(false);
    marketEnable.setChecked(true);
    http.release();
    settle();
    EXPECT_EQ(http.requests().size(), 2u);
    EXPECT_TRUE(market.MarketLoaded());
    EXPECT_EQ(statuses.back(), "Finished Market Load");
}

TEST_F(MarketDataTest, ShutdownDuringATransferStopsItAndSaysWhy) {
    http.hold();
    marketEnable.setChecked(true);
    http.waitForActive(1);
    shuttingDown = true;
    settle();
    EXPECT_EQ(statuses.back(), "Please wait. Trelk is Shutting Down!");
    EXPECT_FALSE(market.MarketLoaded());

    // And a close that stops the workers returns while a request still waits.
    shuttingDown = false;
    market.StartMarketLoad();
    http.waitForActive(1);
    market.StopWorkers();
    EXPECT_FALSE(market.DownloadRunning());
    http.release();
}

} // namespace
} // namespace trelk
