#include "LinuxSharedMemory.h"

#include "plugins/trkhook/TrkHookAbi.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trelk {

namespace {

std::string ErrnoText(int error) {
    return std::strerror(error);
}

class PosixSharedBlock final : public SharedBlock {
public:
    PosixSharedBlock(int fd, std::size_t size) : fd_(fd), size_(size) {}
    ~PosixSharedBlock() override { ::close(fd_); }
    PosixSharedBlock(const PosixSharedBlock&) = delete;
    PosixSharedBlock& operator=(const PosixSharedBlock&) = delete;

    std::size_t size() const override { return size_; }

    bool write(std::size_t offset, const std::uint8_t* data, std::size_t count) override {
        if (!inside(offset, count) || (data == nullptr && count > 0)) {
            return false;
        }
        void* view = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
        if (view == MAP_FAILED) {
            return false;
        }
        if (count > 0) {
            std::memcpy(static_cast<std::uint8_t*>(view) + offset, data, count);
        }
        ::munmap(view, size_);
        return true;
    }

    bool read(std::size_t offset, std::uint8_t* data, std::size_t count) const override {
        if (!inside(offset, count) || (data == nullptr && count > 0)) {
            return false;
        }
        void* view = ::mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd_, 0);
        if (view == MAP_FAILED) {
            return false;
        }
        if (count > 0) {
            std::memcpy(data, static_cast<const std::uint8_t*>(view) + offset, count);
        }
        ::munmap(view, size_);
        return true;
    }

private:
    bool inside(std::size_t offset, std::size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }

    int fd_;
    std::size_t size_;
};

SharedBlockResult Failure(std::string error) {
    SharedBlockResult result;
    result.error = std::move(error);
    return result;
}

} // namespace

std::string LinuxSharedMemory::ObjectName(const std::string& name) {
    std::string object = "/" + name;
    if (const char* suffix = std::getenv(TRKHOOK_BLOCK_SUFFIX_ENV); suffix != nullptr) {
        object += suffix;
    }
    return object;
}

SharedBlockResult LinuxSharedMemory::createOrOpen(const std::string& name, std::size_t size) {
    const std::string object = ObjectName(name);
    const std::string quoted = "shared block \"" + object + "\"";
    if (name.empty() || object.find('/', 1) != std::string::npos || object.size() > 250) {
        return Failure(quoted + ": not a valid block name");
    }
    if (size == 0 || size > static_cast<std::size_t>(INT32_MAX)) {
        return Failure(quoted + ": invalid size " + std::to_string(size));
    }

    int fd = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        // A new object is empty; growing it zero-fills.
        if (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
            const int error = errno;
            ::close(fd);
            ::shm_unlink(object.c_str());
            return Failure(quoted + ": cannot set its size: " + ErrnoText(error));
        }
        SharedBlockResult result;
        result.block = std::make_unique<PosixSharedBlock>(fd, size);
        return result;
    }
    if (errno != EEXIST) {
        return Failure(quoted + ": cannot create: " + ErrnoText(errno));
    }

    fd = ::shm_open(object.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0) {
        return Failure(quoted + ": exists but cannot be opened: " + ErrnoText(errno));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        return Failure(quoted + ": cannot read its size: " + ErrnoText(error));
    }
    if (status.st_size < 0 || static_cast<std::size_t>(status.st_size) != size) {
        ::close(fd);
        return Failure(quoted + " exists with " + std::to_string(status.st_size) +
                       " bytes, expected " + std::to_string(size));
    }
    SharedBlockResult result;
    result.block = std::make_unique<PosixSharedBlock>(fd, size);
    result.alreadyExisted = true;
    return result;
}

void LinuxSharedMemory::unlink(const std::string& name) {
    if (!name.empty() && name.find('/') == std::string::npos) {
        ::shm_unlink(ObjectName(name).c_str());
    }
}

} // namespace trelk
