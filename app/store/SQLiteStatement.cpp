#include "app/store/SQLiteStatement.h"

#include "ui/framework/TextConvert.h"

#include <sqlite3.h>

namespace kw {

SQLiteStatement::~SQLiteStatement() {
    Finalize();
}

int SQLiteStatement::BindInt(int index, int value) {
    if (!handle_) {
        return kMisuse;
    }
    return sqlite3_bind_int(handle_, index, value);
}

int SQLiteStatement::BindText(int index, std::string_view utf8) {
    if (!handle_) {
        return kMisuse;
    }
    // A view of an empty string may carry a null pointer; bind it as empty text, never as NULL.
    return sqlite3_bind_text(handle_, index, utf8.data() ? utf8.data() : "", static_cast<int>(utf8.size()),
                             SQLITE_TRANSIENT);
}

int SQLiteStatement::BindText(int index, std::wstring_view text) {
    return BindText(index, std::string_view(vellum::ToUtf8(text)));
}

int SQLiteStatement::Step() {
    if (!handle_) {
        return kMisuse;
    }
    const int result = sqlite3_step(handle_);
    if (result == kDone) {
        done_ = 1;
    }
    return result;
}

int SQLiteStatement::Reset() {
    if (!handle_) {
        return kMisuse;
    }
    const int result = sqlite3_reset(handle_);
    sqlite3_clear_bindings(handle_);
    return result;
}

int SQLiteStatement::ColumnCount() const {
    return handle_ ? sqlite3_column_count(handle_) : 0;
}

int SQLiteStatement::ColumnInt(int index) const {
    return handle_ ? sqlite3_column_int(handle_, index) : 0;
}

const char* SQLiteStatement::ColumnText(int index) const {
    return handle_ ? reinterpret_cast<const char*>(sqlite3_column_text(handle_, index)) : nullptr;
}

std::wstring SQLiteStatement::ColumnWide(int index) const {
    const char* text = ColumnText(index);
    if (!text) {
        return {};
    }
    return vellum::FromUtf8(
        std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(handle_, index))));
}

int SQLiteStatement::Finalize() {
    if (!handle_) {
        done_ = 1;
        return 0;
    }
    const int result = sqlite3_finalize(handle_);
    // sqlite3_finalize always releases the statement; its result repeats the last step's error.
    handle_ = nullptr;
    done_ = 1;
    return result;
}

} // namespace kw
