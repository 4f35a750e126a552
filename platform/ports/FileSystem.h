#pragma once

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace trelk {

// The step of a file operation that failed, so a caller (and a test) can tell a full disk from
// a file that could not be opened or a replacement that never reached its rename.
enum class FileStep { Open, Read, Write, Sync, Close, Rename, CreateFolder };

struct FileReadResult {
    enum class Status {
        Ok,
        Missing,  // nothing at the path
        TooLarge, // larger than the caller accepts; nothing was read
        Failed,   // it exists but could not be read: see step and error
    };
    Status status = Status::Ok;
    std::string content;            // Ok only
    FileStep step = FileStep::Open; // Failed only
    std::string error;              // Failed only: the system's reason, "Permission denied"

    bool ok() const { return status == Status::Ok; }
};

struct FileWriteResult {
    bool ok = true;
    FileStep step = FileStep::Open; // the step that failed
    std::string error;              // the system's reason, "No space left on device"
};

enum class PathKind { Missing, File, Folder };

// The files and folders of the program (settings, data lists, logs, help, pictures). Every file
// a subsystem reads or rewrites goes through here, so the sim platform can keep them in memory
// and fail at any step. Paths are byte strings with '/' between folders. Nothing throws; safe to
// call from any thread.
class FileSystem {
public:
    static constexpr std::size_t NoLimit = std::numeric_limits<std::size_t>::max();

    virtual ~FileSystem() = default;

    // --- Files ---
    // The whole file. A file larger than maxBytes is not read (TooLarge), so a wrong path cannot
    // take the program's memory.
    virtual FileReadResult readFile(const std::string& path, std::size_t maxBytes) = 0;
    FileReadResult readFile(const std::string& path) { return readFile(path, NoLimit); }

    // Replaces the file's content as one step: a reader, and a crash at any moment, sees the
    // old file or the new one whole, never a mixture. On failure the old file is untouched
    // and nothing is left beside it.
    virtual FileWriteResult replaceFile(const std::string& path, std::string_view content) = 0;
    // Removes what a replacement of path left beside it when the program died half-way. The
    // next replaceFile does so too; this is for a caller that has nothing new to write.
    virtual void discardUnfinishedReplacement(const std::string& path) = 0;

    // Adds content at the end, creating the file when missing; not synced (log lines). All or
    // nothing: a write that fails part-way (a full disk) is cut back, so what the file held
    // before stays whole.
    virtual FileWriteResult appendToFile(const std::string& path, std::string_view content) = 0;

    // --- Folders ---
    // What is at the path, links followed; Missing also when it cannot be asked.
    virtual PathKind kindOf(const std::string& path) = 0;
    // One level: the parent folder must exist. A folder that exists already is success.
    virtual FileWriteResult createFolder(const std::string& path) = 0;
    // The names of the entries of the folder that are not folders (links followed), in no
    // particular order; none when the folder cannot be read.
    virtual std::vector<std::string> fileNames(const std::string& folder) = 0;
};

} // namespace trelk
