#include "ProxySettings.h"

#include <algorithm>
#include <cctype>

namespace trelk {

namespace {

// The port field as its mask leaves it: digits, padded with blanks or the mask's blank
// character.
std::optional<int> PortNumber(const std::string& text) {
    const auto padding = [](char c) { return c == ' ' || c == '_'; };
    const auto first = std::find_if_not(text.begin(), text.end(), padding);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), padding).base();
    const std::string digits = first < last ? std::string(first, last) : std::string();
    if (digits.empty() || digits.size() > static_cast<std::size_t>(ProxySettings::MaxPortDigits) ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return std::nullopt;
    }
    return std::stoi(digits);
}

} // namespace

ProxySettings::ProxySettings(HttpClients& clients, CheckOption& proxyEnabled, Stored stored,
                             Hooks hooks)
    : clients_(clients), proxyEnabled_(proxyEnabled), stored_(stored), hooks_(std::move(hooks)) {
    proxyEnabled_.setOnClick([this] { chkProxyEnabledClick(); });
}

HttpProxy ProxySettings::inEffect() const {
    return proxyEnabled_.checked() ? HttpProxy{stored_.ProxyURL, stored_.ProxyPort} : HttpProxy{};
}

void ProxySettings::publish(const HttpProxy& proxy) {
    clients_.HTTP().setProxy(proxy);
    clients_.HTTP2().setProxy(clients_.HTTP().proxy());
    if (hooks_.writeInterfaceValue) {
        hooks_.writeInterfaceValue("ProxyURL", proxy.host);
        hooks_.writeInterfaceValue("ProxyPort", std::to_string(proxy.port));
    }
}

void ProxySettings::chkProxyEnabledClick() {
    publish(inEffect());
}

void ProxySettings::ApplyToHttpClients() {
    publish(inEffect());
}

void ProxySettings::FormShow() {
    eProxyName = stored_.ProxyURL;
    meProxyPort = std::to_string(stored_.ProxyPort);
}

std::optional<std::string> ProxySettings::bSaveClick() {
    const std::optional<int> port = PortNumber(meProxyPort);
    if (!port) {
        return "'" + meProxyPort + "' is not a valid integer value";
    }
    stored_.ProxyURL = eProxyName;
    stored_.ProxyPort = *port;
    // The clients take the proxy now only while "Use" is ticked: unticked, they stay direct.
    publish(inEffect());
    if (hooks_.saveProxyKeys) {
        hooks_.saveProxyKeys();
    }
    return std::nullopt;
}

} // namespace trelk
