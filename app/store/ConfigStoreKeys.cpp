// ConfigStore: key functions (t_key_macro_data) and their extras (t_key_otherdata).

#include "app/store/ConfigStore.h"

#include "app/store/SQLiteAutoTransaction.h"

namespace kw {

namespace {

void ReadKeyFunction(const SQLiteStatement& statement, KeyFunction& record) {
    record.key_id = statement.ColumnInt(0);
    record.profile = statement.ColumnInt(1);
    record.fn_layer = statement.ColumnInt(2);
    record.key_code = statement.ColumnInt(3);
    record.layout_value = statement.ColumnInt(4);
    record.layout_desc = statement.ColumnWide(5);
    record.macro_type = statement.ColumnInt(6);
    record.macro_value = statement.ColumnInt(7);
    record.macro_value2 = statement.ColumnInt(8);
    record.macro_value3 = statement.ColumnInt(9);
    record.macro_desc = statement.ColumnWide(10);
}

} // namespace

int ConfigStore::SetKeyFunction(const KeyFunction& record) {
    if (record.key_code == 0) {
        return 0;
    }
    std::lock_guard lock(storeLock_);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsBegun() ||
        !SQLiteStatement::Succeeded(
            Execute("DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?",
                    record.profile, record.fn_layer, record.key_code))) {
        return 0;
    }
    int key_id = 0;
    if (record.macro_value != 0 || record.macro_value2 != 0) {
        key_id =
            Insert("INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc, "
                   "macro_type, macro_value, macro_value2, macro_value3, macro_desc) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);",
                   record.profile, record.fn_layer, record.key_code, record.layout_value, record.layout_desc,
                   record.macro_type, record.macro_value, record.macro_value2, record.macro_value3,
                   record.macro_desc);
    }
    // The old row goes even when the new one could not be stored: the key then has its own
    // function, which is what a result of 0 tells the caller.
    return transaction.Commit() ? key_id : 0;
}

bool ConfigStore::GetKeyFunction(int profile, int fn_layer, int key_code, KeyFunction& record) {
    std::lock_guard lock(storeLock_);
    SQLiteStatement statement;
    if (!Select(statement,
                "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?", profile,
                fn_layer, key_code) ||
        statement.Step() != SQLiteStatement::kRow) {
        return false;
    }
    ReadKeyFunction(statement, record);
    return true;
}

int ConfigStore::ListKeyFunctions(int profile, int fn_layer, std::vector<KeyFunction>& records) {
    std::lock_guard lock(storeLock_);
    records.clear();
    SQLiteStatement statement;
    if (!Select(statement, "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?", profile,
                fn_layer)) {
        return 0;
    }
    while (statement.Step() == SQLiteStatement::kRow) {
        ReadKeyFunction(statement, records.emplace_back());
    }
    return static_cast<int>(records.size());
}

bool ConfigStore::ClearProfileKeys(int profile) {
    std::lock_guard lock(storeLock_);
    return SQLiteStatement::Succeeded(Execute("DELETE FROM t_key_macro_data WHERE profile = ?", profile));
}

int ConfigStore::AddKeyExtra(const std::wstring& desc, const std::wstring& param, int type) {
    std::lock_guard lock(storeLock_);
    return Insert("INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);", desc, param,
                  type);
}

bool ConfigStore::GetKeyExtra(int macro_value, std::wstring& desc, std::wstring& param, int& type) {
    std::lock_guard lock(storeLock_);
    SQLiteStatement statement;
    if (!Select(statement, "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?",
                macro_value) ||
        statement.Step() != SQLiteStatement::kRow) {
        return false;
    }
    desc = statement.ColumnWide(0);
    param = statement.ColumnWide(1);
    type = statement.ColumnInt(2);
    return true;
}

} // namespace kw
