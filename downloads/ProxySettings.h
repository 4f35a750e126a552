#pragma once

#include "core/CheckOption.h"
#include "core/HookSlots.h"
#include "downloads/HttpClients.h"

#include <functional>
#include <optional>
#include <string>

namespace trelk {

// The HTTP proxy: the "Server" group's "Use" switch, the proxy the clients take from it, the
// values add-ons see, and the proxy dialog (TfrmProxy) without its widgets.
class ProxySettings {
public:
    struct Hooks {
        // RegistryValues::WriteInterfaceValue.
        std::function<void(const std::string& name, const std::string& value)>
            writeInterfaceValue{};
        // SettingsController::SaveProxyKeys: "ProxyURL" and "ProxyPort" to the file.
        std::function<bool()> saveProxyKeys{};
    };
    // The two values of the "Setup" section.
    struct Stored {
        std::string& ProxyURL;
        int& ProxyPort;
    };

    static constexpr const char* Caption = "Trelk Proxy Settings";
    static constexpr int MaxPortDigits = 4; // the port field's mask

    ProxySettings(HttpClients& clients, CheckOption& proxyEnabled, Stored stored, Hooks hooks);

    // Start-up, once all settings are applied: both clients set again and the add-on values
    // written.
    void ApplyToHttpClients();

    void chkProxyEnabledClick();

    // The dialog: its two fields, as typed.
    std::string eProxyName;
    std::string meProxyPort;
    void FormShow(); // the fields from the stored values
    void bClearClick() { FormShow(); }
    void bCancelClick() { FormShow(); }
    // Takes the fields. A port that is not a whole number of up to four digits changes
    // nothing and returns the message to show.
    std::optional<std::string> bSaveClick();

    const Hooks& hooks() const { return hooks_; }
    // The proxy entered: the stored values, which only a complete Save replaces.
    const std::string& ProxyHost() const { return stored_.ProxyURL; }
    int ProxyPortValue() const { return stored_.ProxyPort; }

private:
    HttpProxy inEffect() const;
    void publish(const HttpProxy& proxy);

    HttpClients& clients_;
    CheckOption& proxyEnabled_;
    Stored stored_;
    Hooks hooks_;
};

template <> struct HookSlotList<ProxySettings::Hooks> {
    using S = ProxySettings::Hooks;
    static constexpr const char* Name = "ProxySettings::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, writeInterfaceValue),
        TRELK_HOOK_SLOT(S, saveProxyKeys),
    };
};
static_assert(ListsEverySlot<ProxySettings::Hooks>());

} // namespace trelk
