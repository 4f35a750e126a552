#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace trelk {

// A named block of memory shared with other processes (the hook library). Reads and writes
// map the block for the call only, unless the implementation keeps it mapped.
class SharedBlock {
public:
    virtual ~SharedBlock() = default;
    virtual std::size_t size() const = 0;
    // False when offset + count is beyond the block or the block cannot be mapped.
    virtual bool write(std::size_t offset, const std::uint8_t* data, std::size_t count) = 0;
    virtual bool read(std::size_t offset, std::uint8_t* data, std::size_t count) const = 0;
};

struct SharedBlockResult {
    std::unique_ptr<SharedBlock> block; // null when it could not be created or opened
    bool alreadyExisted = false;        // another process (or an earlier run) created it
    std::string error;
};

class SharedMemory {
public:
    virtual ~SharedMemory() = default;
    // Creates the named block, zero-filled, or opens it when it exists. An existing block of
    // another size is an error: nobody may read past what the other side wrote.
    virtual SharedBlockResult createOrOpen(const std::string& name, std::size_t size) = 0;
    // Removes the name, so the next run starts from a fresh block. Open blocks stay valid.
    virtual void unlink(const std::string& name) = 0;
};

} // namespace trelk
