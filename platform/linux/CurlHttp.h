#pragma once

#include "platform/ports/EventLoop.h"
#include "platform/ports/Http.h"

namespace trelk {

// HTTP on libcurl. Each request runs on the calling (worker) thread with a multi handle of its
// own, polled every 100 ms at most, so a dropped connection or a stop flag ends it at once;
// progress events travel to the main thread through the event loop.
class CurlHttp final : public Http {
public:
    explicit CurlHttp(EventLoop& loop);
    std::unique_ptr<HttpClient> createClient(HttpClientOptions options) override;

private:
    EventLoop& loop_;
};

} // namespace trelk
