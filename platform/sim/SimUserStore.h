#pragma once

#include "platform/ports/UserStore.h"

#include <functional>
#include <map>
#include <string>

namespace trelk {

// The per-user store in memory, with the same case and path rules as the real one. A test can
// make it fail to see how callers cope with a locked or broken store.
class SimUserStore final : public UserStore {
public:
    std::optional<std::string> getString(const std::string& key, const std::string& name) override;
    bool setString(const std::string& key, const std::string& name,
                   const std::string& value) override;
    bool deleteValue(const std::string& key, const std::string& name) override;
    bool deleteKey(const std::string& key) override;
    bool keyExists(const std::string& key) override;
    std::vector<std::pair<std::string, std::string>> values(const std::string& key) override;
    std::vector<std::string> subkeys(const std::string& key) override;
    std::optional<std::uint64_t> changeStamp() override;
    std::optional<std::vector<bool>> writeValues(const std::string& key,
                                                 const std::vector<ValueWrite>& writes) override;
    std::string lastError() const override { return lastError_; }

    // Inspection and fault injection.
    void setFailure(std::string message) { failure_ = std::move(message); }
    void clearFailure() { failure_.clear(); }
    int writeCount() const { return writeCount_; }
    int writeValuesCount() const { return writeValuesCount_; }
    // Runs once, just before the next writeValues makes its writes: another process's write
    // between a reader's read and its conditional write.
    void beforeNextWriteValues(std::function<void()> write) {
        beforeWriteValues_ = std::move(write);
    }

private:
    struct Entry {
        std::string name; // spelling of the latest write
        std::string value;
    };
    struct Key {
        std::map<std::string, Entry> values; // by folded name
    };

    bool failing();
    static std::string normalizeKey(const std::string& key);
    static std::string fold(const std::string& text);

    std::map<std::string, Key> keys_; // by folded, normalised path
    std::string failure_;
    std::string lastError_;
    int writeCount_ = 0;
    int writeValuesCount_ = 0;
    int ownWrites_ = 0;
    std::function<void()> beforeWriteValues_;
};

} // namespace trelk
