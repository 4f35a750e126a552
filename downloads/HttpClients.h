#pragma once

#include "platform/ports/Http.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace trelk {

// A stored address as a request sends it: the blanks the historical defaults end in are not
// part of it, and a blank inside is sent encoded, so the request line stays well formed.
std::string RequestUrl(std::string_view stored);
// Text for a query: every byte but letters, digits and "-._~" as %XX. The installation code
// holds characters ("<", "\\", "`" ...) that no request line may carry as they are.
std::string PercentEncoded(std::string_view text);
// "host" or "host:port" of an address: the site the pilot is told of.
std::string SiteName(std::string_view url);

// Progress events that reach owner's three handlers on the main thread, and only while alive
// (which owner holds, pointing at itself) lives.
template <typename Owner>
HttpProgress ProgressWhileAlive(const std::shared_ptr<Owner*>& alive,
                                void (Owner::*begin)(std::int64_t),
                                void (Owner::*work)(std::int64_t), void (Owner::*end)()) {
    std::weak_ptr<Owner*> weak = alive;
    auto onMain = [weak](auto handler) {
        return [weak, handler](auto... value) {
            if (auto self = weak.lock()) {
                ((**self).*handler)(value...);
            }
        };
    };
    return {.begin = onMain(begin), .work = onMain(work), .end = onMain(end)};
}

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
