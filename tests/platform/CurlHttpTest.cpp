#include "platform/linux/CurlHttp.h"

#include "platform/sim/SimEventLoop.h"
#include "support/WebServices.h"

#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

using testing::Eventually;
using testing::TinyProxy;
using testing::WebServices;

HttpClientOptions MarketLike() {
    return {.name = "HTTP",
            .userAgent = "Mozilla/3.0 (compatible; Trelk)",
            .accept = "text/html, */*",
            .http10 = true,
            .sevenBit = true};
}

struct Events {
    std::vector<std::string> seen;
    std::int64_t expected = -1;
    std::int64_t lastWork = -1;
    HttpProgress progress() {
        return {.begin =
                    [this](std::int64_t size) {
                        expected = size;
                        seen.push_back("begin");
                    },
                .work = [this](std::int64_t received) { lastWork = received; },
                .end = [this] { seen.push_back("end"); }};
    }
};

class CurlHttpTest : public ::testing::Test {
protected:
    SimEventLoop loop;
    CurlHttp http{loop};
};

TEST_F(CurlHttpTest, GetsTheMarketDocumentAsTheClientIsAndPostsItsProgress) {
    WebServices services(TRELK_TOOLS_DIR);
    ASSERT_GT(services.port(), 0);
    auto client = http.createClient(MarketLike());
    Events events;
    const HttpResult result = client->get(services.marketUrl(), events.progress());
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.status, 200);
    EXPECT_GT(result.body.size(), 48u);
    EXPECT_EQ(result.body.substr(47, 2), "\r\n");

    EXPECT_TRUE(events.seen.empty()) << "progress runs on the main thread only";
    loop.processPendingMessages();
    EXPECT_EQ(events.seen, (std::vector<std::string>{"begin", "end"}));
    EXPECT_EQ(events.expected, static_cast<std::int64_t>(result.body.size()));
    EXPECT_EQ(events.lastWork, static_cast<std::int64_t>(result.body.size()));

    const auto requests = services.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(WebServices::field(requests[0], 1), "/trlp/inv/vinventory.txt");
    EXPECT_EQ(WebServices::field(requests[0], 2), "HTTP/1.0");
    EXPECT_EQ(WebServices::field(requests[0], 3), "Mozilla/3.0 (compatible; Trelk)");
    EXPECT_EQ(WebServices::field(requests[0], 4), "text/html, */*");
    EXPECT_EQ(WebServices::field(requests[0], 5), "") << "no proxy on the way";
}

TEST_F(CurlHttpTest, FailuresComeBackAsFailuresWithoutABody) {
    auto client = http.createClient(MarketLike());
    Events events;
    const HttpResult refused = client->get(
        "http://127.0.0.1:" + std::to_string(testing::FreePort()) + "/x", events.progress());
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.status, 0);
    EXPECT_FALSE(refused.error.empty());

    for (const char* fault : {"404", "500", "close"}) {
        WebServices services(TRELK_TOOLS_DIR, {"--fault", fault});
        const HttpResult result = client->get(services.marketUrl(), events.progress());
        EXPECT_FALSE(result.ok) << fault;
        EXPECT_TRUE(result.body.empty()) << fault;
        EXPECT_FALSE(result.error.empty()) << fault;
    }
    WebServices refusing(TRELK_TOOLS_DIR, {"--fault", "refuse"});
    EXPECT_FALSE(client->get(refusing.marketUrl(), events.progress()).ok);
}

TEST_F(CurlHttpTest, FollowsARedirectAndFiltersTheBodyToSevenBits) {
    auto client = http.createClient(MarketLike());
    Events events;
    WebServices redirecting(TRELK_TOOLS_DIR, {"--fault", "redirect"});
    const HttpResult redirected = client->get(redirecting.marketUrl(), events.progress());
    ASSERT_TRUE(redirected.ok) << redirected.error;
    EXPECT_EQ(redirected.status, 200);
    EXPECT_EQ(redirecting.requests().size(), 2u);

    WebServices garbage(TRELK_TOOLS_DIR, {"--fault", "garbage"});
    const HttpResult filtered = client->get(garbage.marketUrl(), events.progress());
    ASSERT_TRUE(filtered.ok) << filtered.error;
    ASSERT_EQ(filtered.body.size(), 64u * 1024);
    for (const char c : filtered.body) {
        ASSERT_EQ(static_cast<unsigned char>(c) & 0x80, 0);
    }
    HttpClientOptions raw = MarketLike();
    raw.sevenBit = false;
    const HttpResult unfiltered = http.createClient(raw)->get(garbage.marketUrl(), {});
    ASSERT_TRUE(unfiltered.ok);
    EXPECT_NE(unfiltered.body, filtered.body);
}

TEST_F(CurlHttpTest, AHugeBodyFailsAtTheSizeLimitAnnouncedOrNot) {
    HttpClientOptions options = MarketLike();
    options.maxBodyBytes = 8 * 1024 * 1024;
    auto client = http.createClient(options);
    for (const char* fault : {"huge", "huge-chunked"}) {
        WebServices services(TRELK_TOOLS_DIR, {"--fault", fault});
        const HttpResult result = client->get(services.marketUrl(), {});
        EXPECT_FALSE(result.ok) << fault;
        EXPECT_TRUE(result.body.empty()) << fault;
    }
}

TEST_F(CurlHttpTest, AStalledServerIsGivenUpAtTheLowSpeedLimit) {
    HttpClientOptions options = MarketLike();
    options.lowSpeedBytes = 1000;
    options.lowSpeedTimeMs = 1000;
    auto client = http.createClient(options);
    WebServices slow(TRELK_TOOLS_DIR, {"--fault", "slow"});
    const HttpResult result = client->get(slow.marketUrl(), {});
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.body.empty());
}

TEST_F(CurlHttpTest, DisconnectAndCancelEndARunningTransfer) {
    WebServices slow(TRELK_TOOLS_DIR, {"--fault", "slow"});
    auto client = http.createClient(MarketLike());
    // The slow document takes minutes; each way must end it long before.
    std::atomic<bool> done{false};
    HttpResult dropped;
    std::jthread transfer([&] {
        dropped = client->get(slow.marketUrl(), {});
        done = true;
    });
    ASSERT_TRUE(Eventually([&] { return slow.requests().size() == 1; }));
    client->disconnect();
    EXPECT_TRUE(Eventually([&] { return done.load(); }, 5000));
    transfer.join();
    EXPECT_FALSE(dropped.ok);

    std::atomic<bool> cancel{false};
    done = false;
    std::jthread cancelled([&] {
        dropped = client->get(slow.marketUrl(), {}, [&] { return cancel.load(); });
        done = true;
    });
    ASSERT_TRUE(Eventually([&] { return slow.requests().size() == 2; }));
    cancel = true;
    EXPECT_TRUE(Eventually([&] { return done.load(); }, 5000));
    cancelled.join();
    EXPECT_FALSE(dropped.ok);

    // A later request starts afresh.
    WebServices services(TRELK_TOOLS_DIR);
    EXPECT_TRUE(client->get(services.marketUrl(), {}).ok);
}

TEST_F(CurlHttpTest, TheProxyOfTheClientCarriesTheRequest) {
    WebServices services(TRELK_TOOLS_DIR);
    TinyProxy proxy;
    ASSERT_TRUE(proxy.ready());
    auto client = http.createClient(MarketLike());
    client->setProxy({"127.0.0.1", proxy.port()});
    ASSERT_TRUE(client->get(services.marketUrl(), {}).ok);
    client->setProxy({});
    ASSERT_TRUE(client->get(services.marketUrl(), {}).ok);

    const auto requests = services.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(WebServices::field(requests[0], 5).find("tinyproxy"), std::string::npos);
    EXPECT_EQ(WebServices::field(requests[1], 5), "");

    proxy.stop();
    client->setProxy({"127.0.0.1", proxy.port()});
    EXPECT_FALSE(client->get(services.marketUrl(), {}).ok) << "a proxy that is down fails";
}

} // namespace
} // namespace trelk
