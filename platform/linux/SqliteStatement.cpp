#include "SqliteStatement.h"

#include <climits>
#include <cstdint>
#include <sqlite3.h>

namespace trelk {

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql) {
    status_ = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    prepared_ = status_;
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

namespace {
// SQLite copies the bound bytes, so a temporary argument may go away before step() runs.
// (The SQLITE_TRANSIENT macro is an old-style cast of the same value.)
const sqlite3_destructor_type Transient =
    reinterpret_cast<sqlite3_destructor_type>(static_cast<std::intptr_t>(-1));
} // namespace

void SqliteStatement::bindText(int index, const std::string& text) {
    if (status_ != SQLITE_OK) {
        return;
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        status_ = SQLITE_TOOBIG;
        return;
    }
    status_ =
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), Transient);
}

void SqliteStatement::bindBlob(int index, const std::string& bytes) {
    if (status_ != SQLITE_OK) {
        return;
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        status_ = SQLITE_TOOBIG;
        return;
    }
    // data() is never null, so an empty value is stored as an empty BLOB, not as NULL.
    status_ =
        sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), Transient);
}

int SqliteStatement::step() {
    if (status_ != SQLITE_OK) {
        return status_;
    }
    return sqlite3_step(stmt_);
}

std::string SqliteStatement::columnBytes(int index) const {
    // Asking for the blob first keeps TEXT as it was stored (no UTF-16 round trip).
    const void* data = sqlite3_column_blob(stmt_, index);
    const int size = sqlite3_column_bytes(stmt_, index);
    if (data == nullptr || size <= 0) {
        return {};
    }
    return std::string(static_cast<const char*>(data), static_cast<std::size_t>(size));
}

long long SqliteStatement::columnInt(int index) const {
    return sqlite3_column_int64(stmt_, index);
}

void SqliteStatement::reset() {
    sqlite3_reset(stmt_);
    status_ = prepared_;
}

} // namespace trelk
