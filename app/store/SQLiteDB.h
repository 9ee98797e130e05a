#pragma once

// One SQLite connection. Failures are results: false, SQLITE_MISUSE (21) without a connection, or
// the SQLite result code. The connection is closed when the object goes away.

#include <cstdint>
#include <string>

struct sqlite3;

namespace kw {

class SQLiteStatement;

class SQLiteDB {
public:
    // Flags for Open: read-write with full mutex; the same and create the file when missing.
    static constexpr int kOpenExisting = 0x10002;
    static constexpr int kOpenOrCreate = 0x10006;
    static constexpr int kMisuse = 21;

    SQLiteDB() = default;
    virtual ~SQLiteDB();
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;

    // Opens `filename` (UTF-8) after closing any open connection. The file is put in write-ahead
    // log mode with synchronous = NORMAL, so a crash of the program or of the system never leaves
    // it corrupt. A non-empty `key` is applied as the codec key when the linked SQLite has one;
    // without codec support a non-empty key makes the open fail rather than write plain text.
    // False for a null name, a file that cannot be opened or is not a database.
    virtual bool Open(const char* filename, const std::string& key, int flags);
    // True with no connection; false (keeping the connection) when SQLite refuses to close it.
    virtual bool Close();
    virtual bool IsOpen() const;

    // Prepares `sql` into `statement`, finalizing what it held. A negative `length` reads up to
    // the terminating zero.
    int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);
    int Exec(const char* sql, int (*callback)(void*, int, char**, char**) = nullptr, void* arg = nullptr);
    // -1 without a connection.
    std::int64_t LastInsertRowId() const;
    // Rows changed by the last INSERT, UPDATE or DELETE; 0 without a connection.
    int Changes() const;
    // False without a connection or while a transaction is open.
    bool InAutocommit() const;
    // Whether the linked SQLite can apply a codec key.
    static bool SupportsKey();

protected:
    sqlite3* Handle() const { return handle_; }

private:
    bool Configure(const std::string& key);
    void CloseNow();

    sqlite3* handle_ = nullptr;
};

} // namespace kw
