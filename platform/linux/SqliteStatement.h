#pragma once

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace trelk {

// One prepared SQLite statement, finalized when it goes out of scope. Bound strings are not
// copied: they must outlive the last step().
class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // SQLITE_OK while preparing and every bind so far succeeded, else the first error code.
    int status() const { return status_; }

    // Binds bytes as TEXT (key paths, value names) or as a BLOB (values); never re-encoded.
    void bindText(int index, const std::string& text);
    void bindBlob(int index, const std::string& bytes);

    // SQLITE_ROW, SQLITE_DONE or an error code. Without a prepared statement, status().
    int step();

    // The bytes of a TEXT or BLOB column of the current row; NULL reads as empty.
    std::string columnBytes(int index) const;
    long long columnInt(int index) const;
    // Ready to step again, with the bindings' failures forgotten (a statement kept for
    // repeated use). A statement that was stepped must be reset or destroyed before the
    // connection's read ends.
    void reset();

private:
    sqlite3_stmt* stmt_ = nullptr;
    int status_ = 0;
    int prepared_ = 0;
};

} // namespace trelk
