#pragma once

#include "platform/ports/EventLoop.h"
#include "platform/ports/Http.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace trelk {

// What the sim server answers for one address.
struct SimHttpReply {
    int status = 200;
    std::string body{};
    // Non-empty: the connection fails with this text (no status, no progress).
    std::string connectError{};
    // The size the server announces; -1: the body's size.
    std::int64_t announced = -1;
    // Work events after each of this many parts of the body.
    int parts = 1;
};

// One request as the server saw it.
struct SimHttpRequest {
    std::string client{}; // the client's options().name
    std::string url{};
    HttpProxy proxy{};
    std::string userAgent{};
    std::string accept{};
    bool http10 = false;
};

// Scripted HTTP: each address answers what the test set, at once or when the test releases
// it. Unknown addresses refuse the connection. Requests run on the caller's thread like real
// ones and post their progress through the loop.
class SimHttp final : public Http {
public:
    explicit SimHttp(EventLoop& loop) : loop_(loop) {}

    std::unique_ptr<HttpClient> createClient(HttpClientOptions options) override;

    // The test's side.
    void setReply(const std::string& url, SimHttpReply reply);
    // While held, a request waits (before any byte) until release(), a disconnect or a cancel.
    void hold();
    void release();
    // Blocks until n requests are waiting in a hold (or running).
    void waitForActive(int n) const;
    int active() const;
    std::vector<SimHttpRequest> requests() const;
    void clearRequests();

private:
    friend class SimHttpClient;
    HttpResult serve(const class SimHttpClient& client, const std::string& url,
                     const HttpProgress& progress, const std::function<bool()>& cancelledBy,
                     const std::atomic<bool>& dropped);

    EventLoop& loop_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::map<std::string, SimHttpReply> replies_;
    std::vector<SimHttpRequest> requests_;
    bool held_ = false;
    int active_ = 0;
};

} // namespace trelk
