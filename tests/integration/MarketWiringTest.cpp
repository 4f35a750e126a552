// The market inside the whole program on the sim platform: the settings at start-up switch the
// proxy on before the first download, "//getmarket" loads it, the console keys walk its three
// pages, and a close during a transfer ends it.

#include "app/TrelkApp.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimDesk.h"

#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

const std::string MarketUrl = "http://127.0.0.1:47821/trlp/inv/vinventory.txt";

std::string Market() {
    std::string text = std::string(47, 'H') + "\r";
    for (const char* record :
         {"North Trade Station,Ores,Iron,120,45", "North Trade Station,Fuels,Helium,7,300",
          "Vega Prime Outpost,Ores,Iron,1,2", "Vega Prime Outpost,Fuels,Helium,5,6"}) {
        text += std::string("\n") + record + "\r";
    }
    return text + "\n";
}

class MarketWiringTest : public ::testing::Test, protected testing::SimDesk {
protected:
    MarketWiringTest() {
        folder.write("Data/MyLumacor.dat", "(Belt A)\n[North]\n1 2 3\n");
        platform.simHttp().setReply(MarketUrl, {.body = Market()});
        installLibraries();
    }
    void startWith(const std::string& setup) {
        // No start-up update check: only the market's requests are counted here.
        folder.write("trelkpro.ini", "[Setup]\nDBAutoUpdate=0\n" + setup);
        ASSERT_TRUE(start().core().FormCreate().ok);
        settle();
    }
    void settle() {
        while (app->dataLists().DataListWorkerRunning() || app->market().DownloadRunning() ||
               app->market().ParseRunning() || platform.simLoop().pendingCount() > 0) {
            platform.step(0);
            std::this_thread::yield();
        }
    }
    std::string interfaceValue(const std::string& name) {
        return platform.simStore()
            .getString("Software\\TrelkPro\\Interface", name)
            .value_or("<none>");
    }
    const std::string& title() { return app->consolePage().Record().TitleLine; }
    std::string line(int n) { return app->consolePage().Lines().TextAt(n); }
};

TEST_F(MarketWiringTest, StoredSettingsLoadTheMarketThroughTheProxyAndTheConsoleShowsIt) {
    startWith("MarketEnable=1\nProxyEnabled=1\nProxyURL=proxy.local\nProxyPort=3128\n");
    const auto requests = platform.simHttp().requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].client, "HTTP");
    EXPECT_EQ(requests[0].url, MarketUrl);
    EXPECT_EQ(requests[0].proxy, (HttpProxy{"proxy.local", 3128})) << "proxy before market";
    EXPECT_EQ(requests[0].userAgent, "Mozilla/3.0 (compatible; Trelk)");
    EXPECT_TRUE(requests[0].http10);
    EXPECT_EQ(interfaceValue("Server"), "US");
    EXPECT_EQ(interfaceValue("ProxyURL"), "proxy.local");
    EXPECT_EQ(interfaceValue("ProxyPort"), "3128");
    EXPECT_EQ(window.statusText(1), "Finished Market Load");
    EXPECT_TRUE(app->market().RefreshTimer().enabled());

    press(Vk::Insert);
    press(Vk::Down);
    press(Vk::Down);
    press(Vk::Down);
    press(Vk::Right);
    EXPECT_EQ(title(), "[Market Database]");
    EXPECT_EQ(line(0), "Ores");
    EXPECT_EQ(line(1), "Fuels");
    press(Vk::Down);
    press(Vk::Right);
    EXPECT_EQ(title(), "[Market Database/Fuels]");
    EXPECT_EQ(line(0), "Helium");
    press(Vk::Right);
    EXPECT_EQ(title(), "[Market Database/Fuels/Helium]");
    EXPECT_EQ(line(0), "Nort Trad Stat  Q7       c300");
    EXPECT_EQ(line(1), "Vega Prim Outp  Q5       c6");
}

TEST_F(MarketWiringTest, GetMarketSwitchesTheUpdatesOnAndLoads) {
    startWith("");
    EXPECT_TRUE(platform.simHttp().requests().empty());
    press(Vk::Insert);
    press(Vk::Down);
    press(Vk::Down);
    press(Vk::Down);
    press(Vk::Right);
    EXPECT_EQ(line(0), "**** Market Data Unavailable ****");
    press(Vk::Right);
    EXPECT_EQ(title(), "[Market Database]") << "no page 2 without data";

    app->slashCommands().ExecuteSlashCommand("//getmarket");
    settle();
    EXPECT_TRUE(app->core().settings().MarketEnable.checked());
    ASSERT_FALSE(platform.simHttp().requests().empty());
    EXPECT_TRUE(app->market().MarketLoaded());
    EXPECT_EQ(platform.simHttp().requests().back().proxy, HttpProxy{});
}

TEST_F(MarketWiringTest, ACloseDuringATransferEndsIt) {
    platform.simHttp().hold();
    folder.write("trelkpro.ini", "[Setup]\nMarketEnable=1\n");
    ASSERT_TRUE(start().core().FormCreate().ok);
    platform.simHttp().waitForActive(1);
    platform.step(AppCore::StartupCompletedMs);
    app->core().Close();
    EXPECT_TRUE(app->core().closed());
    EXPECT_FALSE(app->market().DownloadRunning());
    platform.simHttp().release();
}

} // namespace
} // namespace trelk
