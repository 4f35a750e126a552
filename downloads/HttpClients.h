#pragma once

#include "platform/ports/Http.h"

#include <memory>

namespace trelk {

// The program's HTTP clients, each with its own identity and proxy: HTTP (the market), HTTP2
// (the version and database date check) and HTTP1 (the coordinate database download).
class HttpClients {
public:
    static HttpClientOptions MarketOptions();
    static HttpClientOptions UpdateCheckOptions();
    static HttpClientOptions DatabaseOptions();

    explicit HttpClients(Http& http);

    HttpClient& HTTP() { return *http_; }
    HttpClient& HTTP2() { return *http2_; }
    HttpClient& HTTP1() { return *http1_; }

    // The database download takes the market client's proxy when its dialog opens.
    void CopyProxyToDatabaseClient() { http1_->setProxy(http_->proxy()); }
    // FormClose: the two clients of the main window drop their transfers.
    void DisconnectMainClients();

private:
    std::unique_ptr<HttpClient> http_;
    std::unique_ptr<HttpClient> http2_;
    std::unique_ptr<HttpClient> http1_;
};

} // namespace trelk
