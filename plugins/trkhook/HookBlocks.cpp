#include "HookBlocks.h"

#include "plugins/trkhook/TrkHookAbi.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trkhook {

BlockView::BlockView(std::string baseName, std::size_t size)
    : name_("/" + std::move(baseName)), size_(size) {
    if (const char* suffix = std::getenv(TRKHOOK_BLOCK_SUFFIX_ENV); suffix != nullptr) {
        name_ += suffix;
    }
}

BlockView::~BlockView() {
    if (view_ != nullptr) {
        ::munmap(const_cast<std::uint8_t*>(view_), size_);
    }
}

bool BlockView::open() {
    if (view_ != nullptr) {
        return true;
    }
    const int fd = ::shm_open(name_.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    struct stat status {};
    // Never map past what the other side made: a block of another size is not ours.
    if (::fstat(fd, &status) == 0 && status.st_size == static_cast<off_t>(size_)) {
        void* view = ::mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd, 0);
        if (view != MAP_FAILED) {
            view_ = static_cast<const volatile std::uint8_t*>(view);
        }
    }
    ::close(fd);
    return view_ != nullptr;
}

int BlockView::byteAt(std::size_t offset) {
    if (offset >= size_ || !open()) {
        return -1;
    }
    return view_[offset];
}

std::uint32_t BlockView::uint32() {
    if (size_ < 4 || !open()) {
        return 0;
    }
    return static_cast<std::uint32_t>(view_[0]) | (static_cast<std::uint32_t>(view_[1]) << 8) |
           (static_cast<std::uint32_t>(view_[2]) << 16) |
           (static_cast<std::uint32_t>(view_[3]) << 24);
}

} // namespace trkhook
