#include "downloads/ProxySettings.h"

#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimHttp.h"

#include <gtest/gtest.h>
#include <map>

namespace trelk {
namespace {

class ProxySettingsTest : public ::testing::Test {
protected:
    ProxySettings::Hooks hooks() {
        return {
            .writeInterfaceValue = [this](const std::string& name,
                                          const std::string& value) { interface[name] = value; },
            .saveProxyKeys =
                [this] {
                    saved.push_back(url + ":" + std::to_string(port));
                    return true;
                }};
    }
    HttpProxy market() { return clients.HTTP().proxy(); }
    HttpProxy update() { return clients.HTTP2().proxy(); }

    SimEventLoop loop;
    SimHttp http{loop};
    HttpClients clients{http};
    CheckOption use;
    std::string url = "proxy.local";
    int port = 3128;
    std::map<std::string, std::string> interface;
    std::vector<std::string> saved;
    ProxySettings proxy{clients, use, {url, port}, hooks()};
};

TEST_F(ProxySettingsTest, UseSetsBothClientsAndTellsTheAddOns) {
    use.setChecked(true);
    EXPECT_EQ(market(), (HttpProxy{"proxy.local", 3128}));
    EXPECT_EQ(update(), market());
    EXPECT_EQ(interface["ProxyURL"], "proxy.local");
    EXPECT_EQ(interface["ProxyPort"], "3128");

    use.setChecked(false);
    EXPECT_EQ(market(), HttpProxy{});
    EXPECT_EQ(update(), HttpProxy{});
    EXPECT_EQ(interface["ProxyURL"], "");
    EXPECT_EQ(interface["ProxyPort"], "0");

    // The database download takes the market client's proxy when it opens.
    use.setChecked(true);
    clients.CopyProxyToDatabaseClient();
    EXPECT_EQ(clients.HTTP1().proxy(), market());
}

TEST_F(ProxySettingsTest, TheDialogShowsTheStoredValuesAndClearDiscardsTyping) {
    proxy.FormShow();
    EXPECT_EQ(proxy.eProxyName, "proxy.local");
    EXPECT_EQ(proxy.meProxyPort, "3128");
    proxy.eProxyName = "typed";
    proxy.meProxyPort = "1";
    proxy.bClearClick();
    EXPECT_EQ(proxy.eProxyName, "proxy.local");
    EXPECT_EQ(proxy.meProxyPort, "3128");
    proxy.eProxyName = "typed";
    proxy.bCancelClick();
    EXPECT_EQ(proxy.eProxyName, "proxy.local");
    EXPECT_TRUE(saved.empty());
}

TEST_F(ProxySettingsTest, SaveStoresTheProxyAndTheClientsFollowUse) {
    use.setChecked(true);
    proxy.FormShow();
    proxy.eProxyName = "10.0.0.7";
    proxy.meProxyPort = "  81"; // the mask pads on the left
    EXPECT_EQ(proxy.bSaveClick(), std::nullopt);
    EXPECT_EQ(saved, std::vector<std::string>{"10.0.0.7:81"});
    EXPECT_EQ(market(), (HttpProxy{"10.0.0.7", 81}));
    EXPECT_EQ(update(), market());
    EXPECT_EQ(interface["ProxyURL"], "10.0.0.7");

    // Unticked, a saved proxy is stored but not used: the clients stay direct.
    use.setChecked(false);
    proxy.eProxyName = "10.0.0.8";
    proxy.meProxyPort = "8080";
    EXPECT_EQ(proxy.bSaveClick(), std::nullopt);
    EXPECT_EQ(market(), HttpProxy{});
    EXPECT_EQ(update(), HttpProxy{});
    EXPECT_EQ(interface["ProxyURL"], "");
    use.setChecked(true);
    EXPECT_EQ(market(), (HttpProxy{"10.0.0.8", 8080}));
}

TEST_F(ProxySettingsTest, APortThatIsNotANumberChangesNothing) {
    use.setChecked(true);
    for (const char* text : {"", "    ", "80a", "-1", "12345", "1 2"}) {
        proxy.eProxyName = "other.host";
        proxy.meProxyPort = text;
        const auto message = proxy.bSaveClick();
        ASSERT_TRUE(message.has_value()) << text;
        EXPECT_EQ(*message, "'" + std::string(text) + "' is not a valid integer value");
        EXPECT_EQ(proxy.ProxyHost(), "proxy.local") << text;
        EXPECT_EQ(url, "proxy.local");
        EXPECT_EQ(port, 3128);
        EXPECT_EQ(market(), (HttpProxy{"proxy.local", 3128}));
    }
    EXPECT_TRUE(saved.empty());
}

} // namespace
} // namespace trelk
