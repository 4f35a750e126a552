#pragma once

#include "platform/ports/SharedMemory.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace trelk {

// Named blocks in memory, with the rules of the real ones: a new block is zero-filled, an
// existing one is opened (alreadyExisted), another size is an error, and a block stays valid
// for its holders after its name is removed.
//
// Test side: bytes(name) reads a block as it stands; failCreation(name) makes the next
// createOrOpen of that name fail, as a full or forbidden shared-memory folder would.
class SimSharedMemory final : public SharedMemory {
public:
    SharedBlockResult createOrOpen(const std::string& name, std::size_t size) override;
    void unlink(const std::string& name) override;

    // Inspection and fault injection.
    std::optional<std::vector<std::uint8_t>> bytes(const std::string& name) const;
    bool exists(const std::string& name) const { return blocks_.contains(name); }
    void failCreation(const std::string& name, std::string error = "Permission denied") {
        failures_[name] = std::move(error);
    }
    void clearFailure(const std::string& name) { failures_.erase(name); }
    // How many holders (blocks handed out and not yet destroyed) a named block has.
    long holders(const std::string& name) const;

private:
    using Storage = std::shared_ptr<std::vector<std::uint8_t>>;
    std::map<std::string, Storage> blocks_;
    std::map<std::string, std::string> failures_;
};

} // namespace trelk
