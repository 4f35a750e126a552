#include "SqliteUserStore.h"

#include "SqliteStatement.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trelk {

namespace {

constexpr long long SchemaVersion = 1;

// Key paths and value names use NOCASE: ASCII letters compare without case, the first
// spelling stays. A key exists as a row of its own, even without values. The last statement
// stamps SchemaVersion.
constexpr const char* CreateSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
    path TEXT NOT NULL PRIMARY KEY COLLATE NOCASE);
CREATE TABLE IF NOT EXISTS vals(
    key TEXT NOT NULL COLLATE NOCASE,
    name TEXT NOT NULL COLLATE NOCASE,
    value BLOB NOT NULL,
    PRIMARY KEY(key, name));
PRAGMA user_version = 1;
)sql";

// Leading and trailing backslashes are ignored; an empty segment inside makes no key path.
std::optional<std::string> NormalizeKey(const std::string& key) {
    const std::size_t first = key.find_first_not_of('\\');
    if (first == std::string::npos) {
        return std::string(); // the root key
    }
    const std::size_t last = key.find_last_not_of('\\');
    std::string path = key.substr(first, last - first + 1);
    if (path.find("\\\\") != std::string::npos) {
        return std::nullopt;
    }
    return path;
}

// Every key path that starts with "path\" sorts, under NOCASE, in ["path\", "path]"): ']' is
// the character after '\'. So "A\B" never takes "A\BC" along.
std::string DescendantsFrom(const std::string& path) {
    return path + '\\';
}
std::string DescendantsBefore(const std::string& path) {
    return path + ']';
}

// "A\B\C" -> "A", "A\B", "A\B\C".
std::vector<std::string> KeyAndParents(const std::string& path) {
    std::vector<std::string> keys;
    for (std::size_t end = 0; !path.empty() && end != std::string::npos;) {
        end = path.find('\\', end);
        keys.push_back(path.substr(0, end));
        if (end != std::string::npos) {
            ++end;
        }
    }
    return keys;
}

} // namespace

// A kept statement, reset when its use ends so that no read stays open.
class SqliteUserStore::Use {
public:
    explicit Use(SqliteStatement& statement) : statement_(statement) {}
    ~Use() { statement_.reset(); }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;
    SqliteStatement* operator->() { return &statement_; }

private:
    SqliteStatement& statement_;
};

SqliteUserStore::Use SqliteUserStore::cached(Cached which) {
    static constexpr std::array<const char*, CachedCount> Sql = {
        "SELECT value FROM vals WHERE key = ?1 AND name = ?2",
        "INSERT INTO vals(key, name, value) VALUES(?1, ?2, ?3) "
        "ON CONFLICT(key, name) DO UPDATE SET value = excluded.value",
        "INSERT OR IGNORE INTO keys(path) VALUES(?1)",
        "SELECT name, value FROM vals WHERE key = ?1 ORDER BY name",
        "PRAGMA data_version",
    };
    auto& statement = cache_[static_cast<std::size_t>(which)];
    if (!statement) {
        statement = std::make_unique<SqliteStatement>(db_, Sql[static_cast<std::size_t>(which)]);
    }
    return Use(*statement);
}

SqliteUserStore::SqliteUserStore(std::string databasePath, int busyTimeoutMs)
    : path_(std::move(databasePath)), busyTimeoutMs_(busyTimeoutMs) {}

SqliteUserStore::~SqliteUserStore() {
    close();
    finalizeCached();
}

void SqliteUserStore::finalizeCached() {
    for (auto& statement : cache_) {
        statement.reset();
    }
}

std::string SqliteUserStore::lastError() const {
    std::lock_guard lock(mutex_);
    return lastError_;
}

std::optional<std::string> SqliteUserStore::getString(const std::string& key,
                                                      const std::string& name) {
    std::lock_guard lock(mutex_);
    const std::optional<std::string> path = begin(key, "read");
    if (!path) {
        return std::nullopt;
    }
    Use select = cached(SelectValue);
    select->bindText(1, *path);
    select->bindText(2, name);
    const int rc = select->step();
    if (rc == SQLITE_ROW) {
        return select->columnBytes(0);
    }
    failed(rc);
    return std::nullopt;
}

bool SqliteUserStore::setString(const std::string& key, const std::string& name,
                                const std::string& value) {
    std::lock_guard lock(mutex_);
    const std::optional<std::string> path = begin(key, "write");
    if (!path || !exec("BEGIN IMMEDIATE")) {
        return false;
    }
    if (!insertKeyAndParents(*path)) {
        return false;
    }
    {
        Use upsert = cached(UpsertValue);
        upsert->bindText(1, *path);
        upsert->bindText(2, name);
        upsert->bindBlob(3, value);
        if (failed(upsert->step())) {
            return false;
        }
    }
    return exec("COMMIT");
}

bool SqliteUserStore::insertKeyAndParents(const std::string& path) {
    // The key and every parent key; the first spelling of each stays.
    for (const std::string& keyPath : KeyAndParents(path)) {
        Use insertKey = cached(InsertKey);
        insertKey->bindText(1, keyPath);
        if (failed(insertKey->step())) {
            return false;
        }
    }
    return true;
}

std::optional<std::uint64_t> SqliteUserStore::changeStamp() {
    std::lock_guard lock(mutex_);
    lastError_.clear();
    if (db_ != nullptr && fileReplaced()) {
        close();
    }
    operation_ = "open";
    if (!open()) {
        return std::nullopt;
    }
    operation_ = "read the change counter";
    std::uint64_t version = 0;
    {
        Use dataVersion = cached(DataVersion);
        const int rc = dataVersion->step();
        if (rc != SQLITE_ROW) {
            failed(rc);
            return std::nullopt;
        }
        version = static_cast<std::uint64_t>(dataVersion->columnInt(0));
    }
    // data_version only grows while one connection lives; a new connection starts anew.
    return (opens_ << 40) ^ version;
}

std::optional<std::vector<bool>>
SqliteUserStore::writeValues(const std::string& key, const std::vector<ValueWrite>& writes) {
    std::lock_guard lock(mutex_);
    const std::optional<std::string> path = begin(key, "write");
    if (!path) {
        return std::nullopt;
    }
    waitingMs_ = std::min(busyTimeoutMs_, WriteValuesBusyTimeoutMs);
    sqlite3_busy_timeout(db_, waitingMs_);
    const bool begun = exec("BEGIN IMMEDIATE");
    waitingMs_ = busyTimeoutMs_;
    if (db_ != nullptr) {
        sqlite3_busy_timeout(db_, busyTimeoutMs_);
    }
    if (!begun || !insertKeyAndParents(*path)) {
        return std::nullopt;
    }
    std::vector<bool> made;
    made.reserve(writes.size());
    for (const ValueWrite& write : writes) {
        bool holds = true;
        for (const auto& [name, expected] : write.onlyIf) {
            Use select = cached(SelectValue);
            select->bindText(1, *path);
            select->bindText(2, name);
            const int rc = select->step();
            if (rc != SQLITE_ROW && failed(rc)) {
                return std::nullopt;
            }
            if ((rc == SQLITE_ROW ? select->columnBytes(0) : std::string()) != expected) {
                holds = false;
                break;
            }
        }
        if (holds) {
            Use upsert = cached(UpsertValue);
            upsert->bindText(1, *path);
            upsert->bindText(2, write.name);
            upsert->bindBlob(3, write.value);
            if (failed(upsert->step())) {
                return std::nullopt;
            }
        }
        made.push_back(holds);
    }
    if (!exec("COMMIT")) {
        return std::nullopt;
    }
    return made;
}

bool SqliteUserStore::fileReplaced() const {
    struct stat info {};
    return ::stat(path_.c_str(), &info) != 0 || info.st_dev != device_ || info.st_ino != inode_;
}

bool SqliteUserStore::deleteValue(const std::string& key, const std::string& name) {
    std::lock_guard lock(mutex_);
    const std::optional<std::string> path = begin(key, "delete a value of");
    if (!path) {
        return false;
    }
    SqliteStatement remove(db_, "DELETE FROM vals WHERE key = ?1 AND name = ?2");
    remove.bindText(1, *path);
    remove.bindText(2, name);
    return !failed(remove.step());
}

bool SqliteUserStore::deleteKey(const std::string& key) {
    std::lock_guard lock(mutex_);
    const std::optional<std::string> path = begin(key, "delete");
    if (!path) {
        return false;
    }
    if (path->empty()) {
        fail("cannot delete the root key", "it always exists");
        return false;
    }
    if (!exec("BEGIN IMMEDIATE")) {
        return false;
    }
    const std::string from = DescendantsFrom(*path);
    const std::string before = DescendantsBefore(*path);
    for (const char* sql : {"DELETE FROM vals WHERE key = ?1 OR (key >= ?2 AND key < ?3)",
                            "DELETE FROM keys WHERE path = ?1 OR (path >= ?2 AND path < ?3)"}) {
        SqliteStatement remove(db_, sql);
        remove.bindText(1, *path);
        remove.bindText(2, from);
        remove.bindText(3, before);
        if (failed(remove.step())) {
            return false;
        }
    }
    return exec("COMMIT");
}

bool SqliteUserStore::keyExists(const std::string& key) {
    std::lock_guard lock(mutex_);
    const std::optional<std::string> path = begin(key, "read");
    if (!path) {
        return false;
    }
    if (path->empty()) {
        return true;
    }
    SqliteStatement select(db_, "SELECT 1 FROM keys WHERE path = ?1");
    select.bindText(1, *path);
    const int rc = select.step();
    failed(rc);
    return rc == SQLITE_ROW;
}

std::vector<std::pair<std::string, std::string>> SqliteUserStore::values(const std::string& key) {
    std::lock_guard lock(mutex_);
    std::vector<std::pair<std::string, std::string>> result;
    const std::optional<std::string> path = begin(key, "list");
    if (!path) {
        return result;
    }
    Use select = cached(SelectValues);
    select->bindText(1, *path);
    int rc = SQLITE_ROW;
    while ((rc = select->step()) == SQLITE_ROW) {
        result.emplace_back(select->columnBytes(0), select->columnBytes(1));
    }
    if (failed(rc)) {
        result.clear();
    }
    return result;
}

std::vector<std::string> SqliteUserStore::subkeys(const std::string& key) {
    std::lock_guard lock(mutex_);
    std::vector<std::string> result;
    const std::optional<std::string> path = begin(key, "list");
    if (!path) {
        return result;
    }
    // Rows are ordered by their full path; the children of one key share its prefix, so they
    // come in the order of their own names. Deeper descendants are skipped.
    const std::string prefix = path->empty() ? std::string() : DescendantsFrom(*path);
    SqliteStatement select(db_, path->empty()
                                    ? "SELECT path FROM keys ORDER BY path"
                                    : "SELECT path FROM keys WHERE path >= ?1 AND path < ?2 "
                                      "ORDER BY path");
    if (!path->empty()) {
        select.bindText(1, prefix);
        select.bindText(2, DescendantsBefore(*path));
    }
    int rc = SQLITE_ROW;
    while ((rc = select.step()) == SQLITE_ROW) {
        // NOCASE folds ASCII only, so the stored prefix has the same length as ours.
        std::string child = select.columnBytes(0).substr(prefix.size());
        if (!child.empty() && child.find('\\') == std::string::npos) {
            result.push_back(std::move(child));
        }
    }
    if (failed(rc)) {
        result.clear();
    }
    return result;
}

std::optional<std::string> SqliteUserStore::begin(const std::string& key, const char* action) {
    lastError_.clear();
    std::optional<std::string> path = NormalizeKey(key);
    if (!path) {
        fail(std::string("cannot ") + action + " \"" + key + "\"", "not a valid key path");
        return std::nullopt;
    }
    operation_ = "open";
    if (!open()) {
        return std::nullopt;
    }
    operation_ = std::string(action) + " \"" + *path + "\"";
    return path;
}

bool SqliteUserStore::open() {
    if (db_ != nullptr) {
        return true;
    }
    finalizeCached(); // of the connection closed before
    if (!createFile()) {
        return false;
    }
    const int rc = sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        failed(rc);
        return false;
    }
    sqlite3_busy_timeout(db_, busyTimeoutMs_);
    ++opens_;
    struct stat info {};
    if (::stat(path_.c_str(), &info) == 0) {
        device_ = info.st_dev;
        inode_ = info.st_ino;
    }
    // WAL: readers see the last commit without waiting for writers. NORMAL sync is safe in WAL
    // mode (a power cut may lose the last commit, never the file).
    return exec("PRAGMA journal_mode = WAL") && exec("PRAGMA synchronous = NORMAL") &&
           ensureSchema();
}

bool SqliteUserStore::createFile() {
    // Missing folders are private to the user; existing ones stay as they are.
    const std::filesystem::path file(path_);
    std::filesystem::path folder;
    for (const std::filesystem::path& part : file.parent_path()) {
        folder /= part;
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            fail("cannot create the folder " + folder.string(), std::strerror(errno));
            return false;
        }
    }
    // A new file is created 0600 before SQLite sees it (SQLite would use 0644); SQLite gives
    // its -wal and -shm files the mode of the database. An existing file's mode stays.
    const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
    } else if (errno != EEXIST) {
        fail("cannot create the file", std::strerror(errno));
        return false;
    }
    return true;
}

bool SqliteUserStore::ensureSchema() {
    SqliteStatement version(db_, "PRAGMA user_version");
    const int rc = version.step();
    if (rc != SQLITE_ROW) {
        failed(rc);
        return false;
    }
    const long long found = version.columnInt(0);
    if (found == SchemaVersion) {
        return true;
    }
    if (found > SchemaVersion) {
        fail("cannot " + operation_,
             "written by a newer TrelkPro (schema version " + std::to_string(found) + ")");
        return false;
    }
    // Two processes may create it at once: IF NOT EXISTS makes the second a no-op.
    return exec("BEGIN IMMEDIATE") && exec(CreateSchema) && exec("COMMIT");
}

bool SqliteUserStore::exec(const char* sql) {
    const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    return !failed(rc);
}

bool SqliteUserStore::failed(int code) {
    if (code == SQLITE_OK || code == SQLITE_DONE || code == SQLITE_ROW) {
        return false;
    }
    std::string detail = db_ != nullptr ? sqlite3_errmsg(db_) : sqlite3_errstr(code);
    const int primary = code & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        detail += " (another writer held it for more than " + std::to_string(waitingMs_) + " ms)";
    } else if (db_ != nullptr && sqlite3_system_errno(db_) != 0 &&
               (primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR || primary == SQLITE_FULL ||
                primary == SQLITE_READONLY || primary == SQLITE_PERM)) {
        detail += std::string(" (") + std::strerror(sqlite3_system_errno(db_)) + ")";
    }
    fail("cannot " + operation_, detail);
    return true;
}

void SqliteUserStore::fail(const std::string& what, const std::string& detail) {
    lastError_ = "per-user store " + path_ + ": " + what + ": " + detail;
    // The connection may be broken (file replaced, disk full, lock timeout in the middle of a
    // transaction): closing it rolls back, and the next call starts from a fresh open.
    close();
}

void SqliteUserStore::close() {
    // A kept statement may still be in use up the stack (a failure in the middle of a call):
    // the connection ends once they are finalized, at the next open or at the end, and gives
    // up its transaction now.
    if (db_ != nullptr && sqlite3_get_autocommit(db_) == 0) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    if (db_ != nullptr) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
    }
}

} // namespace trelk
