// ConfigStore: profiles (t_profile_data).

#include "app/store/ConfigStore.h"

#include <algorithm>

namespace kw {

int ConfigStore::AddProfile(const ProfileRecord& record) {
    std::lock_guard lock(storeLock_);
    return Insert("INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);", record.name, 0,
                  record.app, 0);
}

bool ConfigStore::DeleteProfile(int profile) {
    std::lock_guard lock(storeLock_);
    return SQLiteStatement::Succeeded(Execute("DELETE FROM t_profile_data WHERE profile = ?", profile));
}

bool ConfigStore::RenameProfile(int profile, const std::wstring& name) {
    std::lock_guard lock(storeLock_);
    return SQLiteStatement::Succeeded(
        Execute("UPDATE t_profile_data SET name = ? WHERE profile = ?", name, profile));
}

bool ConfigStore::GetProfileName(int profile, std::wstring& name) {
    std::lock_guard lock(storeLock_);
    name.clear();
    SQLiteStatement statement;
    if (!Select(statement, "SELECT name FROM t_profile_data WHERE profile = ?", profile) ||
        statement.Step() != SQLiteStatement::kRow) {
        return false;
    }
    name = statement.ColumnWide(0);
    return true;
}

int ConfigStore::ListProfiles(std::vector<ProfileRecord>& records) {
    std::lock_guard lock(storeLock_);
    records.clear();
    SQLiteStatement statement;
    if (!Select(statement, "SELECT * FROM t_profile_data")) {
        return 0;
    }
    while (statement.Step() == SQLiteStatement::kRow) {
        ProfileRecord& record = records.emplace_back();
        record.profile = statement.ColumnInt(0);
        record.name = statement.ColumnWide(1);
        record.status = statement.ColumnInt(2);
        record.app = statement.ColumnWide(3);
        record.type = statement.ColumnInt(4);
    }
    return static_cast<int>(records.size());
}

bool ConfigStore::SetActiveProfile(int profile) {
    return MarkOneRow("UPDATE t_profile_data SET status = ?", {0},
                      "UPDATE t_profile_data SET status = ? WHERE profile = ?", {1, profile});
}

int ConfigStore::GetActiveProfile() {
    std::lock_guard lock(storeLock_);
    return std::max(0, QueryInt("SELECT profile FROM t_profile_data WHERE status = ?", {1}));
}

} // namespace kw
