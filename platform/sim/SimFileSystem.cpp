#include "SimFileSystem.h"

#include <algorithm>

namespace trelk {

namespace {

constexpr const char* NoSuchFile = "No such file or directory";
constexpr const char* NotAFolder = "Not a directory";
constexpr const char* IsAFolder = "Is a directory";

std::string DefaultError(FileStep step) {
    switch (step) {
    case FileStep::Open:
    case FileStep::CreateFolder:
        return "Permission denied";
    case FileStep::Write:
        return "No space left on device";
    case FileStep::Read:
    case FileStep::Sync:
    case FileStep::Close:
    case FileStep::Rename:
        break;
    }
    return "Input/output error";
}

FileWriteResult Refused(FileStep step, const char* error) {
    return {false, step, error};
}

} // namespace

SimFileSystem::SimFileSystem() {
    folders_.insert("/");
}

std::string SimFileSystem::Normalize(const std::string& path) {
    std::string result;
    result.reserve(path.size());
    for (const char c : path) {
        if (c == '/' && !result.empty() && result.back() == '/') {
            continue;
        }
        result += c;
    }
    if (result.size() > 1 && result.back() == '/') {
        result.pop_back();
    }
    return result;
}

std::string SimFileSystem::ParentOf(const std::string& normalized) {
    const auto slash = normalized.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : normalized.substr(0, slash);
}

bool SimFileSystem::folderExists(const std::string& normalized) const {
    return normalized == "." || folders_.contains(normalized);
}

std::optional<SimFileFault> SimFileSystem::takeFault(FileStep step, const std::string& path) {
    const auto match = std::ranges::find_if(faults_, [&](const SimFileFault& fault) {
        return fault.step == step && (fault.path.empty() || Normalize(fault.path) == path);
    });
    if (match == faults_.end()) {
        return std::nullopt;
    }
    SimFileFault fault = *match;
    if (fault.error.empty()) {
        fault.error = DefaultError(step);
    }
    if (!match->everyTime) {
        faults_.erase(match);
    }
    return fault;
}

FileWriteResult SimFileSystem::Failure(const SimFileFault& fault) {
    return {false, fault.step, fault.error};
}

void SimFileSystem::holdReadsOf(const std::string& path) {
    const std::lock_guard lock(holdMutex_);
    heldPath_ = Normalize(path);
}

void SimFileSystem::releaseHeldReads() {
    {
        const std::lock_guard lock(holdMutex_);
        heldPath_.clear();
    }
    holdChanged_.notify_all();
}

void SimFileSystem::waitForHeldReader() {
    std::unique_lock lock(holdMutex_);
    holdChanged_.wait(lock, [this] { return waitingReaders_ > 0; });
}

int SimFileSystem::readCount(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto found = reads_.find(Normalize(path));
    return found == reads_.end() ? 0 : found->second;
}

FileReadResult SimFileSystem::readFile(const std::string& path, std::size_t maxBytes) {
    const std::string p = Normalize(path);
    {
        std::unique_lock hold(holdMutex_);
        if (!heldPath_.empty() && heldPath_ == p) {
            ++waitingReaders_;
            holdChanged_.notify_all();
            holdChanged_.wait(hold, [this, &p] { return heldPath_ != p; });
            --waitingReaders_;
        }
    }
    const std::lock_guard lock(mutex_);
    ++reads_[p];
    FileReadResult result;
    const auto failed = [&result](FileStep step, std::string error) {
        result.status = FileReadResult::Status::Failed;
        result.step = step;
        result.error = std::move(error);
        return result;
    };
    if (const auto fault = takeFault(FileStep::Open, p)) {
        return failed(FileStep::Open, fault->error);
    }
    const auto found = files_.find(p);
    if (found == files_.end()) {
        if (folders_.contains(p)) {
            return failed(FileStep::Read, IsAFolder);
        }
        result.status = FileReadResult::Status::Missing;
        return result;
    }
    if (found->second.size() > maxBytes) {
        result.status = FileReadResult::Status::TooLarge;
        return result;
    }
    if (const auto fault = takeFault(FileStep::Read, p)) {
        return failed(FileStep::Read, fault->error);
    }
    result.content = found->second;
    return result;
}

FileWriteResult SimFileSystem::replaceFile(const std::string& path, std::string_view content) {
    const std::lock_guard lock(mutex_);
    const std::string p = Normalize(path);
    // A new replacement starts over whatever an earlier crash left.
    unfinished_.erase(p);
    const std::string parent = ParentOf(p);
    if (!folderExists(parent)) {
        return Refused(FileStep::Open, files_.contains(parent) ? NotAFolder : NoSuchFile);
    }
    for (const FileStep step :
         {FileStep::Open, FileStep::Write, FileStep::Sync, FileStep::Close, FileStep::Rename}) {
        if (step == FileStep::Rename && folders_.contains(p)) {
            return Refused(FileStep::Rename, IsAFolder);
        }
        const auto fault = takeFault(step, p);
        if (!fault) {
            continue;
        }
        if (fault->crash) {
            const std::size_t written = step == FileStep::Open    ? 0
                                        : step == FileStep::Write ? fault->writtenBytes
                                                                  : content.size();
            unfinished_[p] = std::string(content.substr(0, std::min(written, content.size())));
        }
        return Failure(*fault);
    }
    files_[p] = std::string(content);
    replacements_[p].push_back(std::string(content));
    return {};
}

void SimFileSystem::discardUnfinishedReplacement(const std::string& path) {
    const std::lock_guard lock(mutex_);
    unfinished_.erase(Normalize(path));
}

FileWriteResult SimFileSystem::appendToFile(const std::string& path, std::string_view content) {
    const std::lock_guard lock(mutex_);
    const std::string p = Normalize(path);
    const std::string parent = ParentOf(p);
    if (!folderExists(parent)) {
        return Refused(FileStep::Open, files_.contains(parent) ? NotAFolder : NoSuchFile);
    }
    if (folders_.contains(p)) {
        return Refused(FileStep::Open, IsAFolder);
    }
    if (const auto fault = takeFault(FileStep::Open, p)) {
        return Failure(*fault);
    }
    if (const auto fault = takeFault(FileStep::Write, p)) {
        // Cut back again, unless the program died before it could.
        if (fault->crash) {
            files_[p] += content.substr(0, std::min(fault->writtenBytes, content.size()));
        } else if (!files_.contains(p)) {
            files_[p]; // the open created it
        }
        return Failure(*fault);
    }
    files_[p] += content;
    return {};
}

PathKind SimFileSystem::kindOf(const std::string& path) {
    const std::lock_guard lock(mutex_);
    const std::string p = Normalize(path);
    if (folderExists(p)) {
        return PathKind::Folder;
    }
    return files_.contains(p) ? PathKind::File : PathKind::Missing;
}

FileWriteResult SimFileSystem::createFolder(const std::string& path) {
    const std::lock_guard lock(mutex_);
    const std::string p = Normalize(path);
    if (const auto fault = takeFault(FileStep::CreateFolder, p)) {
        return Failure(*fault);
    }
    if (folderExists(p)) {
        return {};
    }
    if (files_.contains(p)) {
        return Refused(FileStep::CreateFolder, "File exists");
    }
    const std::string parent = ParentOf(p);
    if (!folderExists(parent)) {
        return Refused(FileStep::CreateFolder, files_.contains(parent) ? NotAFolder : NoSuchFile);
    }
    folders_.insert(p);
    return {};
}

std::vector<std::string> SimFileSystem::fileNames(const std::string& folder) {
    const std::lock_guard lock(mutex_);
    const std::string p = Normalize(folder);
    std::vector<std::string> names;
    for (const auto& [path, content] : files_) {
        if (ParentOf(path) == p) {
            names.push_back(path.substr(p == "/" ? 1 : p.size() + 1));
        }
    }
    return names;
}

void SimFileSystem::addFile(const std::string& path, std::string content) {
    const std::string p = Normalize(path);
    addFolder(ParentOf(p));
    const std::lock_guard lock(mutex_);
    files_[p] = std::move(content);
}

void SimFileSystem::addFolder(const std::string& path) {
    const std::lock_guard lock(mutex_);
    for (std::string p = Normalize(path); p != "/" && p != "." && !p.empty(); p = ParentOf(p)) {
        folders_.insert(p);
    }
}

void SimFileSystem::remove(const std::string& path) {
    const std::lock_guard lock(mutex_);
    const std::string p = Normalize(path);
    const auto inside = [&p](const std::string& other) {
        return other == p || (other.size() > p.size() && other.starts_with(p) &&
                              (p == "/" || other[p.size()] == '/'));
    };
    std::erase_if(files_, [&](const auto& entry) { return inside(entry.first); });
    std::erase_if(folders_, [&](const std::string& f) { return f != "/" && inside(f); });
}

void SimFileSystem::addFault(SimFileFault fault) {
    const std::lock_guard lock(mutex_);
    faults_.push_back(std::move(fault));
}

void SimFileSystem::clearFaults() {
    const std::lock_guard lock(mutex_);
    faults_.clear();
}

std::optional<std::string> SimFileSystem::file(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto found = files_.find(Normalize(path));
    return found != files_.end() ? std::optional(found->second) : std::nullopt;
}

std::vector<std::string> SimFileSystem::replacements(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto found = replacements_.find(Normalize(path));
    return found != replacements_.end() ? found->second : std::vector<std::string>{};
}

int SimFileSystem::replacementCount(const std::string& path) const {
    return static_cast<int>(replacements(path).size());
}

std::optional<std::string> SimFileSystem::unfinishedReplacement(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto found = unfinished_.find(Normalize(path));
    return found != unfinished_.end() ? std::optional(found->second) : std::nullopt;
}

} // namespace trelk
