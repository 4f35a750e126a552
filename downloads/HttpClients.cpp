#include "HttpClients.h"

namespace trelk {

namespace {

constexpr const char* AcceptAny = "text/html, */*";

} // namespace

HttpClientOptions HttpClients::MarketOptions() {
    return {.name = "HTTP",
            .userAgent = "Mozilla/3.0 (compatible; Trelk)",
            .accept = AcceptAny,
            .http10 = true,
            .sevenBit = true};
}

HttpClientOptions HttpClients::UpdateCheckOptions() {
    return {.name = "HTTP2",
            .userAgent = "Mozilla/3.0 (compatible; Indy Library)",
            .accept = AcceptAny,
            .http10 = false,
            .sevenBit = true};
}

HttpClientOptions HttpClients::DatabaseOptions() {
    return {.name = "HTTP1",
            .userAgent = "Mozilla/3.0 (compatible; Trelk)",
            .accept = AcceptAny,
            .http10 = false,
            .sevenBit = false};
}

HttpClients::HttpClients(Http& http)
    : http_(http.createClient(MarketOptions())), http2_(http.createClient(UpdateCheckOptions())),
      http1_(http.createClient(DatabaseOptions())) {}

void HttpClients::DisconnectMainClients() {
    http_->disconnect();
    http2_->disconnect();
}

} // namespace trelk
