#pragma once

// One prepared SQLite statement, finalized when the object goes away.
//
// Parameter indexes start at 1, column indexes at 0. Without a prepared statement every call
// fails softly: binds and steps return SQLITE_MISUSE (21), column reads return 0 or null.

#include <string>
#include <string_view>

struct sqlite3_stmt;

namespace kw {

class SQLiteDB;

class SQLiteStatement {
public:
    static constexpr int kMisuse = 21; // SQLITE_MISUSE
    static constexpr int kRow = 100;   // SQLITE_ROW
    static constexpr int kDone = 101;  // SQLITE_DONE

    // The store's rule for a statement that ran: ok, a row, or done.
    static bool Succeeded(int result) { return result == 0 || result == kRow || result == kDone; }

    SQLiteStatement() = default;
    virtual ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    bool IsPrepared() const { return handle_ != nullptr; }
    // True after construction, after a step reported "done" and after Finalize.
    bool IsDone() const { return done_ != 0; }

    int BindInt(int index, int value);
    // The text is copied, so it need not outlive the call.
    int BindText(int index, std::string_view utf8);
    int BindText(int index, std::wstring_view text);

    // Binds the values to parameters 1, 2, ... in order (ints and wide strings). True when every
    // bind succeeded.
    template <typename... Values> bool BindAll(const Values&... values) {
        [[maybe_unused]] int index = 0;
        bool ok = true;
        ((ok = BindOne(++index, values) == 0 && ok), ...);
        return ok;
    }

    int Step();
    // Makes the statement ready to run again and clears its bindings.
    int Reset();

    // Columns of the statement's rows; 0 without a statement.
    int ColumnCount() const;
    int ColumnInt(int index) const;
    // UTF-8, null without a statement or for a NULL column; valid until the next step.
    const char* ColumnText(int index) const;
    // The column converted to wide text; empty for NULL.
    std::wstring ColumnWide(int index) const;

    // Releases the statement; on success the handle is cleared and the statement counts as done.
    int Finalize();

private:
    friend class SQLiteDB;

    int BindOne(int index, int value) { return BindInt(index, value); }
    int BindOne(int index, const std::wstring& text) { return BindText(index, std::wstring_view(text)); }
    int BindOne(int index, const wchar_t* text) { return BindText(index, std::wstring_view(text)); }

    int done_ = 1;
    sqlite3_stmt* handle_ = nullptr;
};

} // namespace kw
