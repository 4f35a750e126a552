#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace trkhook {

// A read-only view of one of the program's named blocks. The program may create the block
// after HookOn, so opening is retried (cheaply: one failed shm_open) until it works.
class BlockView {
public:
    BlockView(std::string baseName, std::size_t size);
    ~BlockView();
    BlockView(const BlockView&) = delete;
    BlockView& operator=(const BlockView&) = delete;

    // The byte at offset, or -1 while the block is missing or of another size.
    int byteAt(std::size_t offset);
    // The little-endian 32-bit value at offset 0; 0 while the block is missing.
    std::uint32_t uint32();

private:
    bool open();

    std::string name_;
    std::size_t size_;
    const volatile std::uint8_t* view_ = nullptr;
};

} // namespace trkhook
