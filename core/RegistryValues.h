#pragma once

#include "platform/ports/UserStore.h"

#include <functional>
#include <string>

namespace trelk {

// The core's writes to the per-user store. The store may be locked by an add-on or broken;
// the first failure is reported once through the given reporter, later ones only fail.
class RegistryValues {
public:
    static constexpr const char* ProductKey = "Software\\TrelkPro";
    static constexpr const char* InterfaceKey = "Software\\TrelkPro\\Interface";
    static constexpr const char* ScriptKey = "Software\\TrelkPro\\TrelkScript";

    RegistryValues(UserStore& store, std::function<void(const std::string&)> reportFailure)
        : store_(store), reportFailure_(std::move(reportFailure)) {}

    // Writes one string value under the add-on interface key.
    bool WriteInterfaceValue(const std::string& name, const std::string& text);
    bool WriteValue(const std::string& key, const std::string& name, const std::string& text);

    // Start-up: every add-on exchange value back to its idle state.
    void ResetInterfaceValues();
    // Close: the product key's "Inventory" subkey goes away.
    void DeleteInventory();

    bool failureReported() const { return failureReported_; }

private:
    void failed();

    UserStore& store_;
    std::function<void(const std::string&)> reportFailure_;
    bool failureReported_ = false;
};

} // namespace trelk
