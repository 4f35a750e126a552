#include "RegistryValues.h"

#include <array>

namespace trelk {

bool RegistryValues::WriteInterfaceValue(const std::string& name, const std::string& text) {
    return WriteValue(InterfaceKey, name, text);
}

bool RegistryValues::WriteValue(const std::string& key, const std::string& name,
                                const std::string& text) {
    if (store_.setString(key, name, text)) {
        return true;
    }
    failed();
    return false;
}

void RegistryValues::ResetInterfaceValues() {
    static constexpr std::array emptied = {
        "ActiveAddOn",  "AppReg",        "AppExe",       "AppUnReg", "Cursor",
        "Input",        "AddOnRegList",  "AddOnRelease", "Title",    "DataReady",
        "RequestPopUp", "RequestPopOff", "RequestWide"};
    for (const char* name : emptied) {
        if (!WriteInterfaceValue(name, "")) {
            return; // a broken store fails every write: one report is enough
        }
    }
    WriteInterfaceValue("ListHighLight", "0");
}

void RegistryValues::DeleteInventory() {
    const std::string inventory = std::string(ProductKey) + "\\Inventory";
    if (store_.keyExists(inventory) && !store_.deleteKey(inventory)) {
        failed();
    }
}

void RegistryValues::failed() {
    if (failureReported_) {
        return;
    }
    failureReported_ = true;
    if (reportFailure_) {
        reportFailure_("Per-user store unavailable: " + store_.lastError());
    }
}

} // namespace trelk
