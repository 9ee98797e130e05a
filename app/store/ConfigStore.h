#pragma once

// The user's configuration: one SQLite file per keyboard model, "<data folder>/db/<model>_data_v1.db",
// holding profiles, key functions, macros, lighting modes, per-key colours and the music layer.
//
// The program uses the one process-wide store (Instance()); tests and tools may build their own.
// Every operation holds the recursive store lock from its first statement to its last, so the
// store may be used from any thread and operations may call each other. Failures are results:
// inserts return the new row id or 0, writes true or false, gets whether a row was found, lists
// the number of records (always clearing the caller's vector first). With no open file every
// operation fails softly. Text is wide in the records and UTF-8 in the file.

#include "app/store/KeyFunction.h"
#include "app/store/KeyLightRecord.h"
#include "app/store/LightRecord.h"
#include "app/store/MacroItem.h"
#include "app/store/MacroRecord.h"
#include "app/store/MusicLayerRecord.h"
#include "app/store/ProfileRecord.h"
#include "app/store/SQLiteDB.h"
#include "app/store/SQLiteStatement.h"

#include <filesystem>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

namespace kw {

class ConfigStore : public SQLiteDB {
public:
    ConfigStore() = default;
    ~ConfigStore() override;

    // The store of this process, built on first use.
    static ConfigStore& Instance();

    // "<dataFolder>/db/<keyboardName>_data_v1.db"; a "/" in the name becomes "_".
    static std::filesystem::path StorePath(const std::filesystem::path& dataFolder,
                                           const std::wstring& keyboardName);

    // Opens the model's file, creating the "db" folder and the file with its schema when missing.
    // An existing file that lacks the tables (an empty file, for one) gets them; a complete one is
    // left as it is. Another model's open file is closed first. The result is also kept (Opened()).
    bool OpenStore(const std::filesystem::path& dataFolder, const std::wstring& keyboardName);
    // Opens Path() when nothing is open, creating the file, and creates the tables and indexes
    // that are missing, all in one transaction. True when the whole schema is there; false when
    // nothing is open and no model's file was chosen yet.
    bool CreateSchema();
    // Deletes the model's file with its write-ahead log; closes the connection first when it is
    // that file. True when no file is left.
    bool DeleteStoreFile(const std::filesystem::path& dataFolder, const std::wstring& keyboardName);
    // Writes the eleven default rows of t_configdata, once: a file that has them already is left
    // as it is. True when the rows are there.
    bool WriteDefaultSettings();

    bool Open(const char* filename, const std::string& key, int flags) override;
    // Also clears Opened().
    bool Close() override;
    bool IsOpen() const override;

    // The result of the last OpenStore (cleared by Close).
    bool Opened() const;
    // The file of the last OpenStore, UTF-8.
    std::string Path() const;
    // The device type of the keyboard whose file is open, kept for the caller.
    void SetDeviceType(int deviceType);
    int DeviceType() const;

    // Hold this around any direct use of the connection (Prepare, Exec, transactions).
    std::recursive_mutex& StoreLock() const { return storeLock_; }

    // Profiles (t_profile_data).
    int AddProfile(const ProfileRecord& record);
    // Only the profile's own row: its keys, lights and colours stay.
    bool DeleteProfile(int profile);
    bool RenameProfile(int profile, const std::wstring& name);
    bool GetProfileName(int profile, std::wstring& name);
    int ListProfiles(std::vector<ProfileRecord>& records);
    // Makes `profile` the one active profile. False, changing nothing, when it does not exist.
    bool SetActiveProfile(int profile);
    // The active profile, 0 when none is.
    int GetActiveProfile();

    // Key functions (t_key_macro_data). Replaces the key's row; a record whose macro_value and
    // macro_value2 are both 0 only removes it (the key's own function) and returns 0. Key code 0
    // is never stored. The new key_id or 0.
    int SetKeyFunction(const KeyFunction& record);
    bool GetKeyFunction(int profile, int fn_layer, int key_code, KeyFunction& record);
    int ListKeyFunctions(int profile, int fn_layer, std::vector<KeyFunction>& records);
    bool ClearProfileKeys(int profile);

    // Key extras (t_key_otherdata): never changed or deleted once written.
    int AddKeyExtra(const std::wstring& desc, const std::wstring& param, int type);
    // True when the row exists; the outputs are left untouched otherwise.
    bool GetKeyExtra(int macro_value, std::wstring& desc, std::wstring& param, int& type);

    // Macros (t_macro_data) and their events (t_macrorecord).
    // A new macro played once with the default delays.
    int AddMacro(const std::wstring& name);
    int AddMacroFull(const MacroRecord& record);
    bool RenameMacro(int macro_id, const std::wstring& name);
    // play_times, delay_type, delay_time and loop_type of the record's macro.
    bool UpdateMacroSettings(const MacroRecord& record);
    // Deletes the macro, its events and every key row that plays it (macro_type 3), all or nothing.
    bool DeleteMacro(int macro_id);
    bool GetMacroPlayTimes(int macro_id, int& times);
    bool GetMacro(int macro_id, MacroRecord& record);
    int ListMacros(std::vector<MacroRecord>& records);
    int AddMacroItem(const MacroItem& item);
    // Stores every item, in order, or none of them.
    bool AddMacroItems(const std::vector<MacroItem>& items);
    // The macro's events replaced by `items` in one step: the old ones stay when storing fails.
    bool ReplaceMacroItems(int macro_id, const std::vector<MacroItem>& items);
    // Ordered by record_index.
    int ListMacroItems(int macro_id, std::vector<MacroItem>& items);
    bool DeleteMacroItems(int macro_id);
    // The macro's events that are not pure delays (type 1).
    int CountMacroEvents(int macro_id);

    // Lighting modes (t_light_data) and per-key colours (t_key_light_data).
    int CountLightModes(int profile);
    int AddLightMode(const LightRecord& record);
    // Writes brightness to reserved from the record into the row chosen by (profile, mode).
    bool UpdateLightMode(int profile, int mode, const LightRecord& record);
    // Makes (profile, mode) the one active row of the whole table. False, changing nothing, when
    // there is no such row.
    bool SetActiveLightMode(int profile, int mode);
    // The active mode of the profile, 0 when none.
    int GetActiveLightMode(int profile);
    bool GetLightMode(int profile, int mode, LightRecord& record);
    int ListLightModes(int profile, std::vector<LightRecord>& records);
    // Stores every record or none; the number stored.
    int AddKeyLights(const std::vector<KeyLightRecord>& records);
    bool DeleteKeyLights(int light_id);
    int ListKeyLights(int light_id, std::vector<KeyLightRecord>& records);

    // The music layer (t_musiclayer_data): one layer, of profile 1, with layer id 1.
    int CountMusicLayers();
    int AddMusicLayer(const std::wstring& name, int foremode);
    bool GetMusicLayer(int layer_id, MusicLayerRecord& record);
    // deviceindex, foremode, fore_amplitude, backmode and backb_right of layer 1.
    bool UpdateMusicLayer(const MusicLayerRecord& record);
    // Marks layer 1 selected. False, changing nothing, when it does not exist.
    bool SelectMusicLayer();
    // The selected layer of profile 1, 0 when none.
    int GetSelectedMusicLayer();

private:
    // Prepares, binds the values to parameters 1, 2, ... and steps once; the step's result.
    template <typename... Values> int Execute(const char* sql, const Values&... values) {
        SQLiteStatement statement;
        if (const int prepared = Prepare(statement, sql); prepared != 0) {
            return prepared;
        }
        return statement.BindAll(values...) ? statement.Step() : kMisuse;
    }
    // Execute for an INSERT: the new row id or 0.
    template <typename... Values> int Insert(const char* sql, const Values&... values) {
        return SQLiteStatement::Succeeded(Execute(sql, values...)) ? InsertedId() : 0;
    }
    // Prepares and binds a query whose rows the caller steps through.
    template <typename... Values>
    bool Select(SQLiteStatement& statement, const char* sql, const Values&... values) {
        return Prepare(statement, sql) == 0 && statement.BindAll(values...);
    }
    // Prepares `sql` and binds the numbers to parameters 1, 2, ...; 0, or the failing result.
    int PrepareInts(SQLiteStatement& statement, const char* sql, std::initializer_list<int> values);
    int ExecuteInts(const char* sql, std::initializer_list<int> values);
    // The first column of the first row as a number; -1 when the query fails.
    int QueryInt(const char* sql, std::initializer_list<int> values);
    int InsertedId() const;
    bool HasSchema();
    // Clears a flag column, then sets it in the rows `markSql` selects, in one transaction; false,
    // changing nothing, when `markSql` selects no row.
    bool MarkOneRow(const char* clearSql, std::initializer_list<int> clearValues, const char* markSql,
                    std::initializer_list<int> markValues);
    // Inserts the items with one prepared statement; with a non-zero `macro_id` every item is
    // stored under that macro. Stops at the first failure.
    bool InsertMacroItems(const std::vector<MacroItem>& items, int macro_id);

    mutable std::recursive_mutex storeLock_;
    std::string path_;
    std::string openPath_; // the file the connection is on
    std::string key_;      // the codec key: always empty, the file is plain SQLite
    int deviceType_ = 0;
    bool opened_ = false;
};

} // namespace kw
