#include "HttpClients.h"

namespace trelk {

namespace {

constexpr const char* AcceptAny = "text/html, */*";

} // namespace

std::string RequestUrl(std::string_view stored) {
    const auto first = stored.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    stored = stored.substr(first, stored.find_last_not_of(" \t\r\n") - first + 1);
    std::string url;
    url.reserve(stored.size());
    for (const char c : stored) {
        if (c == ' ') {
            url += "%20";
        } else {
            url += c;
        }
    }
    return url;
}

std::string PercentEncoded(std::string_view text) {
    constexpr char Hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
            (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
            byte == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += Hex[byte >> 4];
            encoded += Hex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string SiteName(std::string_view url) {
    const std::string request = RequestUrl(url);
    std::string_view rest = request;
    if (const auto scheme = rest.find("://"); scheme != std::string_view::npos) {
        rest.remove_prefix(scheme + 3);
    }
    rest = rest.substr(0, rest.find_first_of("/?#"));
    if (const auto user = rest.rfind('@'); user != std::string_view::npos) {
        rest.remove_prefix(user + 1);
    }
    return std::string(rest);
}

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
            .sevenBit = true};
}

HttpClients::HttpClients(Http& http)
    : http_(http.createClient(MarketOptions())), http2_(http.createClient(UpdateCheckOptions())),
      http1_(http.createClient(DatabaseOptions())) {}

void HttpClients::DisconnectMainClients() {
    http_->disconnect();
    http2_->disconnect();
}

} // namespace trelk
