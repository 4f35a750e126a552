#pragma once

#include <cstdint>
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

    // A number that changes whenever the store may hold something new for this object's reader:
    // another process or connection committed a change, or the store was opened again (after a
    // failure, or because its file was replaced or deleted). Cheap enough to ask several times a
    // second; nullopt when the store cannot be reached.
    virtual std::optional<std::uint64_t> changeStamp() = 0;

    // One write of writeValues. With conditions, the value is written only while every named
    // value still holds the expected text (a missing value holds the empty text).
    struct ValueWrite {
        std::string name;
        std::string value;
        std::vector<std::pair<std::string, std::string>> onlyIf{};
    };
    // Writes under one key in one transaction, in order; a later condition sees the earlier
    // writes. Returns, per write, whether it was made; nullopt when the store failed (then none
    // was made). Creates the key when missing.
    virtual std::optional<std::vector<bool>> writeValues(const std::string& key,
                                                         const std::vector<ValueWrite>& writes) = 0;

    virtual std::string lastError() const = 0;
};

} // namespace trelk
