#include "SimUserStore.h"

#include <cctype>

namespace trelk {

std::string SimUserStore::fold(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return folded;
}

std::string SimUserStore::normalizeKey(const std::string& key) {
    const auto first = key.find_first_not_of('\\');
    if (first == std::string::npos) {
        return {};
    }
    const auto last = key.find_last_not_of('\\');
    return fold(key.substr(first, last - first + 1));
}

bool SimUserStore::failing() {
    if (failure_.empty()) {
        lastError_.clear();
        return false;
    }
    lastError_ = failure_;
    return true;
}

std::optional<std::string> SimUserStore::getString(const std::string& key,
                                                   const std::string& name) {
    if (failing()) {
        return std::nullopt;
    }
    const auto k = keys_.find(normalizeKey(key));
    if (k == keys_.end()) {
        return std::nullopt;
    }
    const auto v = k->second.values.find(fold(name));
    if (v == k->second.values.end()) {
        return std::nullopt;
    }
    return v->second.value;
}

bool SimUserStore::setString(const std::string& key, const std::string& name,
                             const std::string& value) {
    if (failing()) {
        return false;
    }
    ++writeCount_;
    // Parent keys exist as soon as a child does.
    const std::string path = normalizeKey(key);
    for (auto pos = path.find('\\'); pos != std::string::npos; pos = path.find('\\', pos + 1)) {
        keys_[path.substr(0, pos)];
    }
    keys_[path].values[fold(name)] = Entry{name, value};
    return true;
}

bool SimUserStore::deleteValue(const std::string& key, const std::string& name) {
    if (failing()) {
        return false;
    }
    ++writeCount_;
    const auto k = keys_.find(normalizeKey(key));
    if (k != keys_.end()) {
        k->second.values.erase(fold(name));
    }
    return true;
}

bool SimUserStore::deleteKey(const std::string& key) {
    if (failing()) {
        return false;
    }
    ++writeCount_;
    const std::string path = normalizeKey(key);
    const std::string prefix = path + '\\';
    std::erase_if(keys_, [&](const auto& entry) {
        return entry.first == path || entry.first.starts_with(prefix);
    });
    return true;
}

bool SimUserStore::keyExists(const std::string& key) {
    if (failing()) {
        return false;
    }
    return keys_.contains(normalizeKey(key));
}

std::vector<std::pair<std::string, std::string>> SimUserStore::values(const std::string& key) {
    std::vector<std::pair<std::string, std::string>> result;
    if (failing()) {
        return result;
    }
    const auto k = keys_.find(normalizeKey(key));
    if (k != keys_.end()) {
        for (const auto& [folded, entry] : k->second.values) {
            result.emplace_back(entry.name, entry.value);
        }
    }
    return result;
}

std::vector<std::string> SimUserStore::subkeys(const std::string& key) {
    std::vector<std::string> result;
    if (failing()) {
        return result;
    }
    const std::string prefix = normalizeKey(key) + '\\';
    for (const auto& [path, entry] : keys_) {
        if (path.starts_with(prefix) && path.find('\\', prefix.size()) == std::string::npos) {
            result.push_back(path.substr(prefix.size()));
        }
    }
    return result;
}

std::optional<std::uint64_t> SimUserStore::changeStamp() {
    if (failing()) {
        return std::nullopt;
    }
    // As a database connection sees it: what writeValues wrote itself is no change.
    return static_cast<std::uint64_t>(writeCount_ - ownWrites_);
}

std::optional<std::vector<bool>> SimUserStore::writeValues(const std::string& key,
                                                           const std::vector<ValueWrite>& writes) {
    if (beforeWriteValues_) {
        std::function<void()> write = std::move(beforeWriteValues_);
        beforeWriteValues_ = nullptr;
        write();
    }
    if (failing()) {
        return std::nullopt;
    }
    ++writeValuesCount_;
    const int before = writeCount_;
    std::vector<bool> made;
    for (const ValueWrite& write : writes) {
        bool holds = true;
        for (const auto& [name, expected] : write.onlyIf) {
            holds = holds && getString(key, name).value_or("") == expected;
        }
        made.push_back(holds && setString(key, write.name, write.value));
    }
    ownWrites_ += writeCount_ - before;
    return made;
}

} // namespace trelk
