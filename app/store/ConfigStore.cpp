#include "app/store/ConfigStore.h"

#include "app/store/SQLiteAutoTransaction.h"
#include "ui/framework/TextConvert.h"

#include <system_error>

namespace kw {

namespace {

// The tables and indexes of a new file, in the order they are created.
constexpr const char* kSchema[] = {
    "CREATE TABLE IF NOT EXISTS t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "key TEXT, value TEXT)",
    "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
    "status INTEGER, app TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile)",
    "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc TEXT, macro_type INTEGER, "
    "macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, macro_desc TEXT)",
    "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id)",
    "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, macro_desc "
    "TEXT, "
    "param TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value)",
    "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, play_times INTEGER, "
    "delay_type INTEGER, delay_time INTEGER, link_count INTEGER, loop_type INTEGER, name TEXT)",
    "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id)",
    "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, macro_id INTEGER, "
    "type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, delay_time INTEGER)",
    "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id)",
    "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, direction INTEGER, colorful INTEGER, "
    "colorindex INTEGER, color_value INTEGER, config_func INTEGER, reserved INTEGER, status INTEGER)",
    "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id)",
    "CREATE TABLE IF NOT EXISTS t_key_light_data(keylight_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, light_id INTEGER, key_code INTEGER, key_rgb INTEGER)",
    "CREATE INDEX IF NOT EXISTS keylightindex ON t_key_light_data(keylight_id)",
    "CREATE TABLE IF NOT EXISTS t_musiclayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, profile "
    "INTEGER, "
    "name TEXT, deviceindex INTEGER, foremode INTEGER, fore_amplitude INTEGER, backmode INTEGER, "
    "backb_right INTEGER, sel INTEGER)",
    "CREATE INDEX IF NOT EXISTS musiclayerindex ON t_musiclayer_data(layer_id)",
};

constexpr int kSchemaObjects = sizeof kSchema / sizeof kSchema[0];

// How many of the schema's tables and indexes the file holds.
constexpr const char* kCountSchemaObjects =
    "SELECT count(*) FROM sqlite_master WHERE name IN ('t_configdata', 't_profile_data', 'profileindex', "
    "'t_key_macro_data', 'keyindex', 't_key_otherdata', 'otheridindex', 't_macro_data', 'macroidindex', "
    "'t_macrorecord', 'macrorecordindex', 't_light_data', 'lightindex', 't_key_light_data', 'keylightindex', "
    "'t_musiclayer_data', 'musiclayerindex')";

// The defaults recorded in a new file, in this order.
constexpr const char* kDefaultSettings[][2] = {
    {"version", "1.0.1"},    {"keyboard_layout", "1"}, {"fn_layer", "0"},        {"lightmode", "1"},
    {"sleep_light", "1"},    {"userlight", "0"},       {"customlight_run", "0"}, {"gamemode", "0"},
    {"disable_alttab", "0"}, {"disable_altf4", "0"},   {"disable_win", "0"},
};

} // namespace

ConfigStore::~ConfigStore() {
    Close();
}

ConfigStore& ConfigStore::Instance() {
    static ConfigStore store;
    return store;
}

std::filesystem::path ConfigStore::StorePath(const std::filesystem::path& dataFolder,
                                             const std::wstring& keyboardName) {
    // The model's name comes from the product file: it must not lead out of the "db" folder.
    std::wstring name = keyboardName;
    for (wchar_t& c : name) {
        if (c == L'/' || c == L'\0') {
            c = L'_';
        }
    }
    return dataFolder / "db" / vellum::ToUtf8(name + L"_data_v1.db");
}

bool ConfigStore::OpenStore(const std::filesystem::path& dataFolder, const std::wstring& keyboardName) {
    std::lock_guard lock(storeLock_);
    const std::filesystem::path file = StorePath(dataFolder, keyboardName);
    const std::string wanted = file.string();
    if (SQLiteDB::IsOpen() && opened_ && openPath_ == wanted) {
        return true;
    }
    Close();
    path_ = wanted;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    bool ok = false;
    if (std::filesystem::exists(file, ec)) {
        ok = Open(path_.c_str(), key_, kOpenExisting) && CreateSchema();
    } else {
        ok = CreateSchema();
    }
    opened_ = ok;
    return ok;
}

bool ConfigStore::CreateSchema() {
    std::lock_guard lock(storeLock_);
    // SQLite takes an empty name for a private scratch file that is gone on close: before a model
    // is chosen there is no file to open.
    if (!SQLiteDB::IsOpen() && (path_.empty() || !Open(path_.c_str(), key_, kOpenOrCreate))) {
        return false;
    }
    if (HasSchema()) {
        return true;
    }
    bool ok = false;
    {
        SQLiteAutoTransaction transaction(this);
        ok = transaction.IsBegun();
        for (int i = 0; ok && i < kSchemaObjects; ++i) {
            ok = Exec(kSchema[i]) == 0;
        }
        ok = ok && transaction.Commit();
    }
    if (!ok) {
        // A file without its tables is of no use to any operation.
        Close();
    }
    return ok;
}

bool ConfigStore::DeleteStoreFile(const std::filesystem::path& dataFolder, const std::wstring& keyboardName) {
    std::lock_guard lock(storeLock_);
    const std::filesystem::path file = StorePath(dataFolder, keyboardName);
    if (SQLiteDB::IsOpen() && openPath_ == file.string() && !Close()) {
        return false;
    }
    std::error_code ec;
    // A log left beside a new file of the same name would be replayed into it.
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        std::filesystem::remove(file.string() + suffix, ec);
    }
    std::filesystem::remove(file, ec);
    return !std::filesystem::exists(file, ec) && !ec;
}

bool ConfigStore::WriteDefaultSettings() {
    std::lock_guard lock(storeLock_);
    SQLiteAutoTransaction transaction(this);
    const int rows = QueryInt("SELECT count(*) FROM t_configdata", {});
    if (!transaction.IsBegun() || rows < 0) {
        return false;
    }
    if (rows > 0) {
        return true;
    }
    SQLiteStatement statement;
    if (Prepare(statement, "INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);") != 0) {
        return false;
    }
    for (const auto& setting : kDefaultSettings) {
        if (statement.BindInt(1, 1) != 0 || statement.BindText(2, std::string_view(setting[0])) != 0 ||
            statement.BindText(3, std::string_view(setting[1])) != 0 ||
            !SQLiteStatement::Succeeded(statement.Step())) {
            return false;
        }
        statement.Reset();
    }
    statement.Finalize();
    return transaction.Commit();
}

bool ConfigStore::Open(const char* filename, const std::string& key, int flags) {
    std::lock_guard lock(storeLock_);
    openPath_.clear();
    if (!SQLiteDB::Open(filename, key, flags)) {
        return false;
    }
    openPath_ = filename;
    return true;
}

bool ConfigStore::Close() {
    std::lock_guard lock(storeLock_);
    if (!SQLiteDB::Close()) {
        return false;
    }
    openPath_.clear();
    opened_ = false;
    return true;
}

bool ConfigStore::IsOpen() const {
    std::lock_guard lock(storeLock_);
    return SQLiteDB::IsOpen();
}

bool ConfigStore::Opened() const {
    std::lock_guard lock(storeLock_);
    return opened_;
}

std::string ConfigStore::Path() const {
    std::lock_guard lock(storeLock_);
    return path_;
}

void ConfigStore::SetDeviceType(int deviceType) {
    std::lock_guard lock(storeLock_);
    deviceType_ = deviceType;
}

int ConfigStore::DeviceType() const {
    std::lock_guard lock(storeLock_);
    return deviceType_;
}

int ConfigStore::PrepareInts(SQLiteStatement& statement, const char* sql, std::initializer_list<int> values) {
    if (const int prepared = Prepare(statement, sql); prepared != 0) {
        return prepared;
    }
    int index = 0;
    for (int value : values) {
        if (statement.BindInt(++index, value) != 0) {
            return kMisuse;
        }
    }
    return 0;
}

int ConfigStore::ExecuteInts(const char* sql, std::initializer_list<int> values) {
    SQLiteStatement statement;
    const int prepared = PrepareInts(statement, sql, values);
    return prepared != 0 ? prepared : statement.Step();
}

int ConfigStore::QueryInt(const char* sql, std::initializer_list<int> values) {
    SQLiteStatement statement;
    if (PrepareInts(statement, sql, values) != 0) {
        return -1;
    }
    const int result = statement.Step();
    if (result == SQLiteStatement::kRow) {
        return statement.ColumnInt(0);
    }
    return result == SQLiteStatement::kDone ? 0 : -1;
}

int ConfigStore::InsertedId() const {
    return static_cast<int>(LastInsertRowId());
}

bool ConfigStore::HasSchema() {
    return QueryInt(kCountSchemaObjects, {}) == kSchemaObjects;
}

bool ConfigStore::MarkOneRow(const char* clearSql, std::initializer_list<int> clearValues,
                             const char* markSql, std::initializer_list<int> markValues) {
    std::lock_guard lock(storeLock_);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsBegun() || !SQLiteStatement::Succeeded(ExecuteInts(clearSql, clearValues)) ||
        !SQLiteStatement::Succeeded(ExecuteInts(markSql, markValues)) || Changes() == 0) {
        return false;
    }
    return transaction.Commit();
}

} // namespace kw
