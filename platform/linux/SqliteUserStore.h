#pragma once

#include "platform/ports/UserStore.h"

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

struct sqlite3;

namespace trelk {

class SqliteStatement;

// The per-user registry in one SQLite file, shared with add-ons and trelk-reg.
//
// - The folder is created 0700 and the file 0600 when missing; an existing file's mode is never
//   changed. WAL journal, so readers (the add-on poll) never wait for a writer; a writer waits
//   up to the busy timeout for another one.
// - Key paths and value names compare without ASCII case; the spelling first stored is kept
//   (as the Windows registry does). Leading and trailing backslashes of a path are ignored; an
//   empty segment ("A\\B") is an invalid path. The empty path is the root key: it always
//   exists and cannot be deleted.
// - Values are byte strings, stored as BLOBs exactly as given (TEXT written by others reads
//   back as its bytes).
// - Each operation is one transaction, committed before it returns, so other connections see
//   it at once. A failure returns false / nullopt / an empty list and leaves its reason, naming
//   the file, in lastError(); the connection is then closed and the next call opens it again.
//   lastError() is empty after a call that succeeded.
class SqliteUserStore final : public UserStore {
public:
    static constexpr int DefaultBusyTimeoutMs = 2000;
    // writeValues serves pollers on the main thread: it waits at most this long for another
    // writer (and at most the busy timeout) and leaves the rest to the next poll.
    static constexpr int WriteValuesBusyTimeoutMs = 100;

    explicit SqliteUserStore(std::string databasePath, int busyTimeoutMs = DefaultBusyTimeoutMs);
    ~SqliteUserStore() override;
    SqliteUserStore(const SqliteUserStore&) = delete;
    SqliteUserStore& operator=(const SqliteUserStore&) = delete;

    std::optional<std::string> getString(const std::string& key, const std::string& name) override;
    bool setString(const std::string& key, const std::string& name,
                   const std::string& value) override;
    bool deleteValue(const std::string& key, const std::string& name) override;
    bool deleteKey(const std::string& key) override;
    bool keyExists(const std::string& key) override;
    std::vector<std::pair<std::string, std::string>> values(const std::string& key) override;
    std::vector<std::string> subkeys(const std::string& key) override;
    // PRAGMA data_version of the open connection with the number of opens: one small query
    // and a stat() of the path. A file replaced or deleted under the connection makes the next
    // call open the path again (a deleted store starts empty).
    std::optional<std::uint64_t> changeStamp() override;
    std::optional<std::vector<bool>> writeValues(const std::string& key,
                                                 const std::vector<ValueWrite>& writes) override;

    std::string lastError() const override;

    const std::string& databasePath() const { return path_; }

private:
    // Starts an operation: clears lastError, normalizes the key and opens the connection.
    // Returns the normalized key, or nullopt after recording the failure.
    std::optional<std::string> begin(const std::string& key, const char* action);
    bool open();
    bool createFile();
    bool ensureSchema();
    bool exec(const char* sql);
    // The path no longer names the file the connection has open.
    bool fileReplaced() const;
    bool insertKeyAndParents(const std::string& path);
    // True, with the failure recorded, for results other than SQLITE_OK / DONE / ROW.
    bool failed(int code);
    void fail(const std::string& action, const std::string& detail);
    void close();

    const std::string path_;
    const int busyTimeoutMs_;
    int waitingMs_ = busyTimeoutMs_; // the wait of the call in progress, for messages
    mutable std::mutex mutex_;
    sqlite3* db_ = nullptr;
    // Statements kept prepared while the connection lives (the poll asks the same few
    // questions several times a second); see cached().
    enum Cached { SelectValue, UpsertValue, InsertKey, SelectValues, DataVersion, CachedCount };
    class Use;
    Use cached(Cached which);
    void finalizeCached();
    std::array<std::unique_ptr<SqliteStatement>, CachedCount> cache_;
    std::uint64_t opens_ = 0;
    // The file the connection has open.
    unsigned long long device_ = 0;
    unsigned long long inode_ = 0;
    std::string operation_; // for messages: "open", "write \"Software\\TrelkPro\"" ...
    std::string lastError_;
};

} // namespace trelk
