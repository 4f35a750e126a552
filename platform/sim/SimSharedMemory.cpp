#include "SimSharedMemory.h"

#include <algorithm>

namespace trelk {

namespace {

class SimSharedBlock final : public SharedBlock {
public:
    explicit SimSharedBlock(std::shared_ptr<std::vector<std::uint8_t>> storage)
        : storage_(std::move(storage)) {}

    std::size_t size() const override { return storage_->size(); }
    bool write(std::size_t offset, const std::uint8_t* data, std::size_t count) override {
        if (!fits(offset, count)) {
            return false;
        }
        std::copy_n(data, count, storage_->begin() + static_cast<std::ptrdiff_t>(offset));
        return true;
    }
    bool read(std::size_t offset, std::uint8_t* data, std::size_t count) const override {
        if (!fits(offset, count)) {
            return false;
        }
        std::copy_n(storage_->begin() + static_cast<std::ptrdiff_t>(offset), count, data);
        return true;
    }

private:
    bool fits(std::size_t offset, std::size_t count) const {
        return offset <= storage_->size() && count <= storage_->size() - offset;
    }

    std::shared_ptr<std::vector<std::uint8_t>> storage_;
};

} // namespace

SharedBlockResult SimSharedMemory::createOrOpen(const std::string& name, std::size_t size) {
    SharedBlockResult result;
    if (const auto failure = failures_.find(name); failure != failures_.end()) {
        result.error = failure->second;
        return result;
    }
    if (name.empty() || size == 0) {
        result.error = "Invalid argument";
        return result;
    }
    auto& storage = blocks_[name];
    if (storage) {
        if (storage->size() != size) {
            result.error = "The block \"" + name + "\" exists with " +
                           std::to_string(storage->size()) + " bytes, not " + std::to_string(size);
            return result;
        }
        result.alreadyExisted = true;
    } else {
        storage = std::make_shared<std::vector<std::uint8_t>>(size, std::uint8_t{0});
    }
    result.block = std::make_unique<SimSharedBlock>(storage);
    return result;
}

void SimSharedMemory::unlink(const std::string& name) {
    blocks_.erase(name);
}

std::optional<std::vector<std::uint8_t>> SimSharedMemory::bytes(const std::string& name) const {
    const auto block = blocks_.find(name);
    if (block == blocks_.end()) {
        return std::nullopt;
    }
    return *block->second;
}

long SimSharedMemory::holders(const std::string& name) const {
    const auto block = blocks_.find(name);
    return block == blocks_.end() ? 0 : block->second.use_count() - 1;
}

} // namespace trelk
