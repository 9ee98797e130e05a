// ConfigStore: macros (t_macro_data) and their events (t_macrorecord).

#include "app/store/ConfigStore.h"

#include "app/store/SQLiteAutoTransaction.h"

namespace kw {

namespace {

constexpr const char* kInsertMacro =
    "INSERT INTO t_macro_data(play_times, delay_type, delay_time, link_count, loop_type, name) "
    "VALUES (?, ?, ?, ?, ?, ?);";
constexpr const char* kInsertMacroItem = "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, "
                                         "value, delay_time) VALUES (?, ?, ?, ?, ?, ?);";

} // namespace

int ConfigStore::AddMacro(const std::wstring& name) {
    std::lock_guard lock(storeLock_);
    return Insert(kInsertMacro, 1, 1, 0, 0, 0, name);
}

int ConfigStore::AddMacroFull(const MacroRecord& record) {
    std::lock_guard lock(storeLock_);
    return Insert(kInsertMacro, record.play_times, record.delay_type, record.delay_time, record.link_count,
                  record.loop_type, record.name);
}

bool ConfigStore::RenameMacro(int macro_id, const std::wstring& name) {
    std::lock_guard lock(storeLock_);
    return SQLiteStatement::Succeeded(
        Execute("UPDATE t_macro_data SET name = ? WHERE macro_id = ?", name, macro_id));
}

bool ConfigStore::UpdateMacroSettings(const MacroRecord& record) {
    std::lock_guard lock(storeLock_);
    return SQLiteStatement::Succeeded(
        Execute("UPDATE t_macro_data SET play_times = ?, delay_type = ?, delay_time = ?, loop_type = ? "
                "WHERE macro_id = ?",
                record.play_times, record.delay_type, record.delay_time, record.loop_type, record.macro_id));
}

bool ConfigStore::DeleteMacro(int macro_id) {
    std::lock_guard lock(storeLock_);
    SQLiteAutoTransaction transaction(this);
    // A key left playing a deleted macro, or events without their macro, must not survive a
    // failure half-way: the three deletes are stored together or not at all.
    if (!transaction.IsBegun() ||
        !SQLiteStatement::Succeeded(Execute("DELETE FROM t_macro_data WHERE macro_id = ?", macro_id)) ||
        !SQLiteStatement::Succeeded(Execute("DELETE FROM t_macrorecord WHERE macro_id = ?", macro_id)) ||
        !SQLiteStatement::Succeeded(
            Execute("DELETE FROM t_key_macro_data WHERE macro_type = ? and macro_value = ?", 3, macro_id))) {
        return false;
    }
    return transaction.Commit();
}

bool ConfigStore::GetMacroPlayTimes(int macro_id, int& times) {
    std::lock_guard lock(storeLock_);
    SQLiteStatement statement;
    if (!Select(statement, "SELECT play_times FROM t_macro_data WHERE macro_id = ?", macro_id) ||
        statement.Step() != SQLiteStatement::kRow) {
        return false;
    }
    times = statement.ColumnInt(0);
    return true;
}

namespace {

void ReadMacro(const SQLiteStatement& statement, MacroRecord& record) {
    record.macro_id = statement.ColumnInt(0);
    record.play_times = statement.ColumnInt(1);
    record.delay_type = statement.ColumnInt(2);
    record.delay_time = statement.ColumnInt(3);
    record.link_count = statement.ColumnInt(4);
    record.loop_type = statement.ColumnInt(5);
    record.name = statement.ColumnWide(6);
}

} // namespace

bool ConfigStore::GetMacro(int macro_id, MacroRecord& record) {
    std::lock_guard lock(storeLock_);
    SQLiteStatement statement;
    if (!Select(statement, "SELECT * FROM t_macro_data WHERE macro_id = ?", macro_id) ||
        statement.Step() != SQLiteStatement::kRow) {
        return false;
    }
    ReadMacro(statement, record);
    return true;
}

int ConfigStore::ListMacros(std::vector<MacroRecord>& records) {
    std::lock_guard lock(storeLock_);
    records.clear();
    SQLiteStatement statement;
    if (!Select(statement, "SELECT * FROM t_macro_data")) {
        return 0;
    }
    while (statement.Step() == SQLiteStatement::kRow) {
        ReadMacro(statement, records.emplace_back());
    }
    return static_cast<int>(records.size());
}

int ConfigStore::AddMacroItem(const MacroItem& item) {
    std::lock_guard lock(storeLock_);
    return Insert(kInsertMacroItem, item.macro_id, item.type, item.record_index, item.desc, item.value,
                  item.delay_time);
}

bool ConfigStore::InsertMacroItems(const std::vector<MacroItem>& items, int macro_id) {
    SQLiteStatement statement;
    if (Prepare(statement, kInsertMacroItem) != 0) {
        return false;
    }
    for (const MacroItem& item : items) {
        if (!statement.BindAll(macro_id != 0 ? macro_id : item.macro_id, item.type, item.record_index,
                               item.desc, item.value, item.delay_time) ||
            !SQLiteStatement::Succeeded(statement.Step())) {
            return false;
        }
        statement.Reset();
    }
    return true;
}

bool ConfigStore::AddMacroItems(const std::vector<MacroItem>& items) {
    std::lock_guard lock(storeLock_);
    SQLiteAutoTransaction transaction(this);
    return transaction.IsBegun() && InsertMacroItems(items, 0) && transaction.Commit();
}

bool ConfigStore::ReplaceMacroItems(int macro_id, const std::vector<MacroItem>& items) {
    std::lock_guard lock(storeLock_);
    SQLiteAutoTransaction transaction(this);
    return transaction.IsBegun() &&
           SQLiteStatement::Succeeded(Execute("DELETE FROM t_macrorecord WHERE macro_id = ?", macro_id)) &&
           InsertMacroItems(items, macro_id) && transaction.Commit();
}

int ConfigStore::ListMacroItems(int macro_id, std::vector<MacroItem>& items) {
    std::lock_guard lock(storeLock_);
    items.clear();
    SQLiteStatement statement;
    // Events with the same index keep the order they were stored in.
    if (!Select(statement,
                "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC, record_id ASC",
                macro_id)) {
        return 0;
    }
    while (statement.Step() == SQLiteStatement::kRow) {
        MacroItem& item = items.emplace_back();
        item.record_id = statement.ColumnInt(0);
        item.macro_id = statement.ColumnInt(1);
        item.type = statement.ColumnInt(2);
        item.record_index = statement.ColumnInt(3);
        item.desc = statement.ColumnWide(4);
        item.value = statement.ColumnInt(5);
        item.delay_time = statement.ColumnInt(6);
    }
    return static_cast<int>(items.size());
}

bool ConfigStore::DeleteMacroItems(int macro_id) {
    std::lock_guard lock(storeLock_);
    return SQLiteStatement::Succeeded(Execute("DELETE FROM t_macrorecord WHERE macro_id = ?", macro_id));
}

int ConfigStore::CountMacroEvents(int macro_id) {
    std::lock_guard lock(storeLock_);
    SQLiteStatement statement;
    if (!Select(statement, "SELECT type FROM t_macrorecord WHERE macro_id = ?", macro_id)) {
        return 0;
    }
    int events = 0;
    while (statement.Step() == SQLiteStatement::kRow) {
        events += statement.ColumnInt(0) != 1 ? 1 : 0;
    }
    return events;
}

} // namespace kw
