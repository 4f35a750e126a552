#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace trelk {

// The per-user registry: keys are backslash-separated paths ("Software\TrelkPro\Interface"),
// each holding named string values. Key paths and value names compare without case. Leading
// and trailing backslashes of a key path are ignored.
//
// Every operation opens the store, does one thing and reports whether it worked. lastError()
// holds the reason of the last call's failure, and is empty after a call that succeeded, so a
// failed values() can be told from an empty key.
class UserStore {
public:
    virtual ~UserStore() = default;

    virtual std::optional<std::string> getString(const std::string& key,
                                                 const std::string& name) = 0;
    // Creates the key when missing.
    virtual bool setString(const std::string& key, const std::string& name,
                           const std::string& value) = 0;
    // Deleting a value that does not exist succeeds.
    virtual bool deleteValue(const std::string& key, const std::string& name) = 0;
    // Deletes the key with all its values and subkeys; a missing key succeeds.
    virtual bool deleteKey(const std::string& key) = 0;
    virtual bool keyExists(const std::string& key) = 0;
    // Value names and values of one key, in name order (without case).
    virtual std::vector<std::pair<std::string, std::string>> values(const std::string& key) = 0;
    // Names of the direct subkeys of a key, in name order (without case).
    virtual std::vector<std::string> subkeys(const std::string& key) = 0;

    virtual std::string lastError() const = 0;
};

} // namespace trelk
