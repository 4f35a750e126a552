#pragma once

#include "platform/ports/FileSystem.h"

#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace trelk {

// A failure the sim file system is told to produce. A replacement goes through Open, Write,
// Sync, Close and Rename; an append through Open and Write; a read through Open and Read; a new
// folder through CreateFolder.
struct SimFileFault {
    FileStep step = FileStep::Write;
    std::string path{};           // the file or folder it hits; empty: any
    std::size_t writtenBytes = 0; // Write: bytes that still land before it fails (a full disk)
    std::string error{};          // the system's reason; empty: one that fits the step
    // The program dies at the step instead of seeing an error: nothing after it runs, so a
    // replacement leaves its unfinished file and an append its partial write.
    bool crash = false;
    bool everyTime = false; // false: the next matching operation only
};

// Files and folders in memory, with the rules of a disk: a file needs its folder, a folder its
// parent, and a replacement is whole or not at all. Paths are compared as given, after dropping
// a trailing '/' and doubled ones; "/" always exists.
//
// The test's side seeds files and folders, makes any step of an operation fail, and reads
// what happened: the files, the replacements of each path and what a crash left behind.
class SimFileSystem final : public FileSystem {
public:
    SimFileSystem();

    using FileSystem::readFile;
    FileReadResult readFile(const std::string& path, std::size_t maxBytes) override;
    FileWriteResult replaceFile(const std::string& path, std::string_view content) override;
    void discardUnfinishedReplacement(const std::string& path) override;
    FileWriteResult appendToFile(const std::string& path, std::string_view content) override;
    PathKind kindOf(const std::string& path) override;
    FileWriteResult createFolder(const std::string& path) override;
    std::vector<std::string> fileNames(const std::string& folder) override;

    // --- Seeding ---
    // Puts a file in place, creating its folders. Not counted as a replacement.
    void addFile(const std::string& path, std::string content);
    // Creates the folder and its parents.
    void addFolder(const std::string& path);
    // Removes a file, or a folder with everything in it.
    void remove(const std::string& path);

    // --- Faults ---
    void addFault(SimFileFault fault);
    void clearFaults();

    // --- A slow disk ---
    // A read of the path waits, on the reader's own thread, until releaseHeldReads: a test
    // holds a worker in the middle of its reads.
    void holdReadsOf(const std::string& path);
    void releaseHeldReads();
    // Waits until a reader waits on the held path.
    void waitForHeldReader();

    // --- Inspection ---
    std::optional<std::string> file(const std::string& path) const;
    // How often the path was opened for reading.
    int readCount(const std::string& path) const;
    // The content of each replacement of the path that completed, in order.
    std::vector<std::string> replacements(const std::string& path) const;
    int replacementCount(const std::string& path) const;
    // What a crashed replacement left beside the path (the bytes it had written), if anything.
    std::optional<std::string> unfinishedReplacement(const std::string& path) const;

    static std::string Normalize(const std::string& path);

private:
    // The fault for this step of an operation on path, taken from the list unless it repeats.
    std::optional<SimFileFault> takeFault(FileStep step, const std::string& path);
    bool folderExists(const std::string& normalized) const;
    static std::string ParentOf(const std::string& normalized);
    static FileWriteResult Failure(const SimFileFault& fault);

    mutable std::mutex mutex_;
    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
    std::map<std::string, std::string> unfinished_;
    std::map<std::string, std::vector<std::string>> replacements_;
    std::vector<SimFileFault> faults_;
    std::map<std::string, int> reads_;

    std::mutex holdMutex_;
    std::condition_variable holdChanged_;
    std::string heldPath_;
    int waitingReaders_ = 0;
};

} // namespace trelk
