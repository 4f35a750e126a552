// The program's clients and their proxy switch against a real proxy (tinyproxy) and the sample
// web services on loopback: the request record tells a proxied request from a direct one.

#include "downloads/HttpClients.h"
#include "downloads/ProxySettings.h"
#include "platform/linux/CurlHttp.h"
#include "platform/sim/SimEventLoop.h"
#include "support/WebServices.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

using testing::TinyProxy;
using testing::WebServices;

class ProxyRoutingTest : public ::testing::Test {
protected:
    bool viaProxy(std::size_t request) {
        const auto requests = services.requests();
        return request < requests.size() &&
               WebServices::field(requests[request], 5).find("tinyproxy") != std::string::npos;
    }

    WebServices services{TRELK_TOOLS_DIR};
    TinyProxy tinyproxy;
    SimEventLoop loop;
    CurlHttp http{loop};
    HttpClients clients{http};
    CheckOption use;
    std::string url = "127.0.0.1";
    int port = tinyproxy.port();
    ProxySettings proxy{clients, use, {url, port}, {}};
};

TEST_F(ProxyRoutingTest, UseRoutesTheMarketAndUpdateClientsThroughTheProxy) {
    ASSERT_TRUE(tinyproxy.ready());
    use.setChecked(true);
    ASSERT_TRUE(clients.HTTP().get(services.marketUrl(), {}).ok);
    ASSERT_TRUE(clients.HTTP2().get(services.url("/dblastchange.txt"), {}).ok);
    EXPECT_TRUE(viaProxy(0));
    EXPECT_TRUE(viaProxy(1));
    // The proxy forwards as HTTP/1.0 and the update client's own agent is kept.
    EXPECT_EQ(WebServices::field(services.requests()[1], 3),
              "Mozilla/3.0 (compatible; Indy Library)");

    use.setChecked(false);
    ASSERT_TRUE(clients.HTTP().get(services.marketUrl(), {}).ok);
    EXPECT_FALSE(viaProxy(2));
}

TEST_F(ProxyRoutingTest, SavingWithUseUntickedKeepsTheClientsDirect) {
    ASSERT_TRUE(tinyproxy.ready());
    proxy.FormShow();
    proxy.meProxyPort = std::to_string(tinyproxy.port() % 10000); // the field holds 4 digits
    ASSERT_EQ(proxy.bSaveClick(), std::nullopt);
    ASSERT_TRUE(clients.HTTP().get(services.marketUrl(), {}).ok);
    ASSERT_TRUE(clients.HTTP2().get(services.url("/dblastchange.txt"), {}).ok);
    EXPECT_FALSE(viaProxy(0));
    EXPECT_FALSE(viaProxy(1));
}

TEST_F(ProxyRoutingTest, AProxyThatIsDownOrRefusesFailsTheDownload) {
    use.setChecked(true);
    tinyproxy.stop();
    const HttpResult down = clients.HTTP().get(services.marketUrl(), {});
    EXPECT_FALSE(down.ok);
    EXPECT_TRUE(services.requests().empty());

    // A proxy that answers but will not carry the request.
    TinyProxy refusing("10.255.255.1");
    ASSERT_TRUE(refusing.ready());
    port = refusing.port();
    use.setChecked(false);
    use.setChecked(true);
    const HttpResult refused = clients.HTTP().get(services.marketUrl(), {});
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.status, 403) << refused.error;
    EXPECT_TRUE(services.requests().empty());
}

} // namespace
} // namespace trelk
