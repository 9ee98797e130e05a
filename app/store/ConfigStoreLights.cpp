// ConfigStore: lighting modes (t_light_data), per-key colours (t_key_light_data) and the music
// layer (t_musiclayer_data).

#include "app/store/ConfigStore.h"

#include "app/store/SQLiteAutoTransaction.h"

#include <algorithm>

namespace kw {

namespace {

void ReadLightMode(const SQLiteStatement& statement, LightRecord& record) {
    record.light_id = statement.ColumnInt(0);
    record.profile = statement.ColumnInt(1);
    record.name = statement.ColumnWide(2);
    record.mode = statement.ColumnInt(3);
    record.brightness = statement.ColumnInt(4);
    record.speed = statement.ColumnInt(5);
    record.direction = statement.ColumnInt(6);
    record.colorful = statement.ColumnInt(7);
    record.colorindex = statement.ColumnInt(8);
    record.color_value = statement.ColumnInt(9);
    record.config_func = statement.ColumnInt(10);
    record.reserved = statement.ColumnInt(11);
    record.status = statement.ColumnInt(12);
}

// The music layer the program keeps: layer 1 of profile 1.
constexpr int kMusicProfile = 1;
constexpr int kMusicLayer = 1;

} // namespace

int ConfigStore::CountLightModes(int profile) {
    std::lock_guard lock(storeLock_);
    return std::max(0, QueryInt("select count(*) FROM t_light_data WHERE profile = ?", {profile}));
}

int ConfigStore::AddLightMode(const LightRecord& record) {
    std::lock_guard lock(storeLock_);
    return Insert("INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, colorful, "
                  "colorindex, color_value, config_func, reserved, status) "
                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);",
                  record.profile, record.name, record.mode, record.brightness, record.speed, record.direction,
                  record.colorful, record.colorindex, record.color_value, record.config_func, record.reserved,
                  record.status);
}

bool ConfigStore::UpdateLightMode(int profile, int mode, const LightRecord& record) {
    std::lock_guard lock(storeLock_);
    return SQLiteStatement::Succeeded(Execute(
        "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, colorindex = ?, "
        "color_value = ?, config_func = ?, reserved = ? WHERE profile = ? AND mode = ?",
        record.brightness, record.speed, record.direction, record.colorful, record.colorindex,
        record.color_value, record.config_func, record.reserved, profile, mode));
}

bool ConfigStore::SetActiveLightMode(int profile, int mode) {
    return MarkOneRow("UPDATE t_light_data SET status = ?", {0},
                      "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?",
                      {1, profile, mode});
}

int ConfigStore::GetActiveLightMode(int profile) {
    std::lock_guard lock(storeLock_);
    return std::max(0,
                    QueryInt("SELECT mode FROM t_light_data WHERE profile = ? and status = ?", {profile, 1}));
}

bool ConfigStore::GetLightMode(int profile, int mode, LightRecord& record) {
    std::lock_guard lock(storeLock_);
    SQLiteStatement statement;
    if (!Select(statement, "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?", profile, mode) ||
        statement.Step() != SQLiteStatement::kRow) {
        return false;
    }
    ReadLightMode(statement, record);
    return true;
}

int ConfigStore::ListLightModes(int profile, std::vector<LightRecord>& records) {
    std::lock_guard lock(storeLock_);
    records.clear();
    SQLiteStatement statement;
    if (!Select(statement, "SELECT * FROM t_light_data WHERE profile = ?", profile)) {
        return 0;
    }
    while (statement.Step() == SQLiteStatement::kRow) {
        ReadLightMode(statement, records.emplace_back());
    }
    return static_cast<int>(records.size());
}

int ConfigStore::AddKeyLights(const std::vector<KeyLightRecord>& records) {
    std::lock_guard lock(storeLock_);
    SQLiteAutoTransaction transaction(this);
    SQLiteStatement statement;
    if (!transaction.IsBegun() ||
        Prepare(statement,
                "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);") !=
            0) {
        return 0;
    }
    for (const KeyLightRecord& record : records) {
        if (!statement.BindAll(record.profile, record.light_id, record.key_code, record.key_rgb) ||
            !SQLiteStatement::Succeeded(statement.Step())) {
            return 0;
        }
        statement.Reset();
    }
    statement.Finalize();
    return transaction.Commit() ? static_cast<int>(records.size()) : 0;
}

bool ConfigStore::DeleteKeyLights(int light_id) {
    std::lock_guard lock(storeLock_);
    return SQLiteStatement::Succeeded(Execute("DELETE FROM t_key_light_data WHERE light_id = ?", light_id));
}

int ConfigStore::ListKeyLights(int light_id, std::vector<KeyLightRecord>& records) {
    std::lock_guard lock(storeLock_);
    records.clear();
    SQLiteStatement statement;
    if (!Select(statement, "SELECT * FROM t_key_light_data WHERE light_id = ?", light_id)) {
        return 0;
    }
    while (statement.Step() == SQLiteStatement::kRow) {
        KeyLightRecord& record = records.emplace_back();
        record.keylight_id = statement.ColumnInt(0);
        record.profile = statement.ColumnInt(1);
        record.light_id = statement.ColumnInt(2);
        record.key_code = statement.ColumnInt(3);
        record.key_rgb = statement.ColumnInt(4);
    }
    return static_cast<int>(records.size());
}

int ConfigStore::CountMusicLayers() {
    std::lock_guard lock(storeLock_);
    return std::max(0, QueryInt("select count(*) FROM t_musiclayer_data WHERE profile = ?", {kMusicProfile}));
}

int ConfigStore::AddMusicLayer(const std::wstring& name, int foremode) {
    std::lock_guard lock(storeLock_);
    return Insert(
        "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, fore_amplitude, backmode, "
        "backb_right, sel) VALUES (?, ?, ?, ?, ?, ?, ?, ?);",
        kMusicProfile, name, 0, foremode, 300, 0, 100, 0);
}

bool ConfigStore::GetMusicLayer(int layer_id, MusicLayerRecord& record) {
    std::lock_guard lock(storeLock_);
    SQLiteStatement statement;
    if (!Select(statement, "SELECT * FROM t_musiclayer_data WHERE layer_id = ?", layer_id) ||
        statement.Step() != SQLiteStatement::kRow) {
        return false;
    }
    record.layer_id = statement.ColumnInt(0);
    record.profile = statement.ColumnInt(1);
    record.name = statement.ColumnWide(2);
    record.deviceindex = statement.ColumnInt(3);
    record.foremode = statement.ColumnInt(4);
    record.fore_amplitude = statement.ColumnInt(5);
    record.backmode = statement.ColumnInt(6);
    record.backb_right = statement.ColumnInt(7);
    return true;
}

bool ConfigStore::UpdateMusicLayer(const MusicLayerRecord& record) {
    std::lock_guard lock(storeLock_);
    return SQLiteStatement::Succeeded(
        Execute("UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude = ?, backmode= ?, "
                "backb_right= ? WHERE layer_id = ?",
                record.deviceindex, record.foremode, record.fore_amplitude, record.backmode,
                record.backb_right, kMusicLayer));
}

bool ConfigStore::SelectMusicLayer() {
    return MarkOneRow("UPDATE t_musiclayer_data SET sel = ? WHERE profile = ?", {0, kMusicProfile},
                      "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ? AND layer_id = ?",
                      {1, kMusicProfile, kMusicLayer});
}

int ConfigStore::GetSelectedMusicLayer() {
    std::lock_guard lock(storeLock_);
    return std::max(0, QueryInt("SELECT layer_id FROM t_musiclayer_data WHERE profile = ? AND sel = ?",
                                {kMusicProfile, 1}));
}

} // namespace kw
