#include "LinuxFileSystem.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace trelk {

namespace {

std::string ErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

FileWriteResult Failed(FileStep step, int error) {
    return {false, step, ErrorText(error != 0 ? error : EIO)};
}

// Closes on every path out of a function.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, for callers that must know whether the close worked (the last write error
    // of some file systems comes only with it).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// errno is set when it returns false; a write that makes no progress counts as EIO.
bool WriteAll(int fd, std::string_view data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            errno = n == 0 ? EIO : errno;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

FileReadResult LinuxFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    FileReadResult result;
    const auto failed = [&result](FileStep step, int error) {
        result.status = FileReadResult::Status::Failed;
        result.step = step;
        result.error = ErrorText(error);
        result.content.clear();
        return result;
    };
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) {
        if (errno == ENOENT) {
            result.status = FileReadResult::Status::Missing;
            return result;
        }
        return failed(FileStep::Open, errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        const auto size = static_cast<std::size_t>(info.st_size);
        if (size > maxBytes) {
            result.status = FileReadResult::Status::TooLarge;
            return result;
        }
        try {
            result.content.reserve(size);
        } catch (const std::bad_alloc&) {
            return failed(FileStep::Read, ENOMEM);
        }
    }
    try {
        char chunk[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return failed(FileStep::Read, errno);
            }
            if (n == 0) {
                break;
            }
            // A file that grows while it is read (or reports no size) is held to the same limit.
            if (static_cast<std::size_t>(n) > maxBytes - result.content.size()) {
                result.content.clear();
                result.status = FileReadResult::Status::TooLarge;
                return result;
            }
            result.content.append(chunk, static_cast<std::size_t>(n));
        }
    } catch (const std::bad_alloc&) {
        // A file too big to hold is as good as unreadable; the caller goes on without it.
        result.content = std::string();
        return failed(FileStep::Read, ENOMEM);
    }
    return result;
}

FileWriteResult LinuxFileSystem::replaceFile(const std::string& path, std::string_view content) {
    const std::string temp = TemporaryPath(path);
    const auto fail = [&temp](FileStep step, int error) {
        ::unlink(temp.c_str());
        return Failed(step, error);
    };
    // O_NOFOLLOW: a link planted under the temporary name cannot redirect the write.
    Descriptor fd(
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.valid()) {
        return fail(FileStep::Open, errno);
    }
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        static_cast<void>(::fchmod(fd.get(), old.st_mode & 07777));
    }
    if (!WriteAll(fd.get(), content)) {
        return fail(FileStep::Write, errno);
    }
    if (::fsync(fd.get()) != 0) {
        return fail(FileStep::Sync, errno);
    }
    if (!fd.close()) {
        return fail(FileStep::Close, errno);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        return fail(FileStep::Rename, errno);
    }
    // Makes the rename itself durable. The new file is in place already, so a failure here is
    // not a failed replacement.
    Descriptor folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid()) {
        static_cast<void>(::fsync(folder.get()));
    }
    return {};
}

void LinuxFileSystem::discardUnfinishedReplacement(const std::string& path) {
    static_cast<void>(std::remove(TemporaryPath(path).c_str()));
}

FileWriteResult LinuxFileSystem::appendToFile(const std::string& path, std::string_view content) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (!fd.valid()) {
        return Failed(FileStep::Open, errno);
    }
    const off_t before = ::lseek(fd.get(), 0, SEEK_END);
    if (WriteAll(fd.get(), content)) {
        return fd.close() ? FileWriteResult{} : Failed(FileStep::Close, errno);
    }
    const int error = errno;
    if (before >= 0) {
        static_cast<void>(::ftruncate(fd.get(), before));
    }
    return Failed(FileStep::Write, error);
}

PathKind LinuxFileSystem::kindOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return PathKind::Missing;
    }
    return S_ISDIR(info.st_mode) ? PathKind::Folder : PathKind::File;
}

FileWriteResult LinuxFileSystem::createFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) {
        return {};
    }
    const int error = errno;
    if (kindOf(path) == PathKind::Folder) {
        return {};
    }
    return Failed(FileStep::CreateFolder, error);
}

std::vector<std::string> LinuxFileSystem::fileNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + '/';
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const bool folderEntry =
            entry->d_type == DT_DIR || ((entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) &&
                                        kindOf(prefix + name) == PathKind::Folder);
        if (!folderEntry) {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

} // namespace trelk
