#include "app/store/SQLiteDB.h"

#include "app/store/SQLiteStatement.h"

#include <sqlite3.h>

#include <cstring>

namespace kw {

namespace {

// How long a statement waits for another connection (another process) to release its lock.
constexpr int kBusyTimeoutMs = 2000;

} // namespace

SQLiteDB::~SQLiteDB() {
    CloseNow();
}

bool SQLiteDB::SupportsKey() {
#ifdef KW_SQLITE_HAS_KEY
    return true;
#else
    return false;
#endif
}

bool SQLiteDB::Open(const char* filename, const std::string& key, int flags) {
    if (handle_) {
        sqlite3_interrupt(handle_);
        CloseNow();
    }
    if (!filename) {
        return false;
    }
    if (sqlite3_open_v2(filename, &handle_, flags, nullptr) != SQLITE_OK) {
        CloseNow();
        return false;
    }
    if (!Configure(key)) {
        CloseNow();
        return false;
    }
    return true;
}

bool SQLiteDB::Configure(const std::string& key) {
    if (!key.empty()) {
#ifdef KW_SQLITE_HAS_KEY
        const int length = static_cast<int>(key.size());
        if (sqlite3_key(handle_, key.data(), length) != SQLITE_OK &&
            sqlite3_rekey(handle_, key.data(), length) != SQLITE_OK) {
            return false;
        }
#else
        return false;
#endif
    }
    sqlite3_busy_timeout(handle_, kBusyTimeoutMs);
    // The first statement that reads the file: a file that is not a database fails here.
    SQLiteStatement journal;
    if (Prepare(journal, "PRAGMA journal_mode = WAL;") != SQLITE_OK || journal.Step() != SQLITE_ROW) {
        return false;
    }
    const char* mode = journal.ColumnText(0);
    const bool wal = mode && std::strcmp(mode, "wal") == 0;
    journal.Finalize();
    // A write-ahead log stays consistent with NORMAL; a rollback journal (a file system without
    // shared memory, a read-only file) needs FULL for the same promise.
    return Exec(wal ? "PRAGMA synchronous = NORMAL;" : "PRAGMA synchronous = FULL;") == SQLITE_OK;
}

bool SQLiteDB::Close() {
    if (!handle_) {
        return true;
    }
    if (sqlite3_close(handle_) != SQLITE_OK) {
        return false;
    }
    handle_ = nullptr;
    return true;
}

void SQLiteDB::CloseNow() {
    if (handle_) {
        // Never fails; statements still alive are released with the connection.
        sqlite3_close_v2(handle_);
        handle_ = nullptr;
    }
}

bool SQLiteDB::IsOpen() const {
    return handle_ != nullptr;
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length) {
    statement.Finalize();
    if (!handle_ || !sql) {
        return kMisuse;
    }
    const int result =
        sqlite3_prepare_v2(handle_, sql, length < 0 ? -1 : length, &statement.handle_, nullptr);
    if (result == SQLITE_OK && statement.handle_) {
        statement.done_ = 0;
    }
    // Text without a statement (only a comment or spaces) prepares to nothing: nothing to run.
    return result == SQLITE_OK && !statement.handle_ ? kMisuse : result;
}

int SQLiteDB::Exec(const char* sql, int (*callback)(void*, int, char**, char**), void* arg) {
    if (!handle_ || !sql) {
        return kMisuse;
    }
    return sqlite3_exec(handle_, sql, callback, arg, nullptr);
}

std::int64_t SQLiteDB::LastInsertRowId() const {
    return handle_ ? sqlite3_last_insert_rowid(handle_) : -1;
}

int SQLiteDB::Changes() const {
    return handle_ ? sqlite3_changes(handle_) : 0;
}

bool SQLiteDB::InAutocommit() const {
    return handle_ && sqlite3_get_autocommit(handle_) != 0;
}

} // namespace kw
