// Every record operation of the store on a real file.

#include "tests/store/StoreTestHelpers.h"

#include <algorithm>
#include <functional>

namespace kw::test {
namespace {

KeyFunction Key(int profile, int fn_layer, int key_code, int macro_type, int macro_value,
                int macro_value2 = 0) {
    KeyFunction record;
    record.profile = profile;
    record.fn_layer = fn_layer;
    record.key_code = key_code;
    record.macro_type = macro_type;
    record.macro_value = macro_value;
    record.macro_value2 = macro_value2;
    record.macro_desc = L"desc";
    return record;
}

MacroItem Item(int macro_id, int type, int record_index, int value = 0) {
    MacroItem item;
    item.macro_id = macro_id;
    item.type = type;
    item.record_index = record_index;
    item.value = value;
    item.delay_time = 10 * record_index;
    item.desc = L"event " + std::to_wstring(record_index);
    return item;
}

// Makes the next insert into `table` whose `column` equals `value` fail, so that a multi-row
// write can be seen to be all-or-nothing.
void FailInsertWhen(ConfigStore& store, const std::string& table, const std::string& column, int value) {
    std::lock_guard lock(store.StoreLock());
    const std::string sql = "CREATE TRIGGER fail_insert BEFORE INSERT ON " + table + " WHEN NEW." + column +
                            " = " + std::to_string(value) + " BEGIN SELECT RAISE(ABORT, 'injected'); END";
    ASSERT_EQ(store.Exec(sql.c_str()), 0);
}

// ---- profiles ----

TEST_F(StoreTest, ProfilesAreAddedListedRenamedAndDeleted) {
    ProfileRecord record;
    record.name = L"Default";
    record.status = 1; // not taken: a new profile is never the active one
    record.type = 5;
    const int first = store.AddProfile(record);
    const int second = store.AddProfile(Profile(L"Spiel \u6e38\u620f"));
    ASSERT_GT(first, 0);
    ASSERT_GT(second, first);

    std::vector<ProfileRecord> profiles;
    ASSERT_EQ(store.ListProfiles(profiles), 2);
    EXPECT_EQ(profiles[0].profile, first);
    EXPECT_EQ(profiles[0].name, L"Default");
    EXPECT_EQ(profiles[0].status, 0);
    EXPECT_EQ(profiles[0].type, 0);
    EXPECT_EQ(profiles[0].app, L"");
    EXPECT_EQ(profiles[1].name, L"Spiel \u6e38\u620f");
    // Stored as UTF-8.
    EXPECT_EQ(Value("SELECT hex(name) FROM t_profile_data WHERE profile = " + std::to_string(second)),
              "537069656C20E6B8B8E6888F");

    EXPECT_TRUE(store.RenameProfile(first, L"Work"));
    std::wstring name = L"stale";
    EXPECT_TRUE(store.GetProfileName(first, name));
    EXPECT_EQ(name, L"Work");
    EXPECT_FALSE(store.GetProfileName(999, name));
    EXPECT_EQ(name, L"") << "emptied even when no row is found";

    ASSERT_GT(store.SetKeyFunction(Key(first, 0, 4, 2, 5)), 0);
    EXPECT_TRUE(store.DeleteProfile(first));
    EXPECT_EQ(store.ListProfiles(profiles), 1);
    // Only the profile row goes; its key rows stay behind.
    EXPECT_EQ(Value("SELECT count(*) FROM t_key_macro_data"), "1");
    // Row ids are never given out twice.
    EXPECT_TRUE(store.DeleteProfile(second));
    EXPECT_GT(store.AddProfile(Profile(L"again")), second);
}

TEST_F(StoreTest, ExactlyOneProfileIsActive) {
    const int a = store.AddProfile(Profile(L"a"));
    const int b = store.AddProfile(Profile(L"b"));
    const int c = store.AddProfile(Profile(L"c"));
    EXPECT_EQ(store.GetActiveProfile(), 0) << "no profile active yet";
    for (int profile : {a, c, b, b}) {
        ASSERT_TRUE(store.SetActiveProfile(profile));
        EXPECT_EQ(store.GetActiveProfile(), profile);
        EXPECT_EQ(Rows("SELECT profile FROM t_profile_data WHERE status = 1"),
                  std::vector<std::string>{std::to_string(profile)});
    }
    // An unknown profile changes nothing: the active one stays active.
    EXPECT_FALSE(store.SetActiveProfile(999));
    EXPECT_EQ(store.GetActiveProfile(), b);
}

// ---- key functions and extras ----

TEST_F(StoreTest, SetKeyFunctionReplacesRemovesOrIgnores) {
    struct Case {
        const char* what;
        KeyFunction before; // stored first when its key_code is not 0
        KeyFunction record;
        bool stored;   // a new row id is returned
        int rowsAfter; // rows of the key afterwards
    };
    const Case cases[] = {
        {"new assignment", {}, Key(1, 0, 4, 2, 5), true, 1},
        {"only macro_value2 set", {}, Key(1, 0, 4, 2, 0, 3), true, 1},
        {"key code 0 is never stored", {}, Key(1, 0, 0, 2, 5), false, 0},
        {"both values 0 without a row", {}, Key(1, 0, 4, 0, 0), false, 0},
        {"both values 0 restore the key", Key(1, 0, 4, 2, 5), Key(1, 0, 4, 3, 0, 0), false, 0},
        {"second assignment replaces the first", Key(1, 0, 4, 2, 5), Key(1, 0, 4, 3, 9), true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(store.ClearProfileKeys(1));
        int oldId = 0;
        if (c.before.key_code != 0) {
            oldId = store.SetKeyFunction(c.before);
            ASSERT_GT(oldId, 0);
        }
        const int id = store.SetKeyFunction(c.record);
        EXPECT_EQ(id > 0, c.stored);
        EXPECT_EQ(Value("SELECT count(*) FROM t_key_macro_data WHERE profile = 1 AND key_code = " +
                        std::to_string(c.record.key_code)),
                  std::to_string(c.rowsAfter));
        KeyFunction read;
        EXPECT_EQ(store.GetKeyFunction(1, 0, c.record.key_code, read), c.stored);
        if (c.stored) {
            EXPECT_EQ(read.key_id, id);
            EXPECT_GT(id, oldId) << "a replaced row gets a new key_id";
            EXPECT_EQ(read.macro_type, c.record.macro_type);
            EXPECT_EQ(read.macro_value, c.record.macro_value);
            EXPECT_EQ(read.macro_value2, c.record.macro_value2);
        }
    }
    EXPECT_EQ(Value("SELECT count(*) FROM t_key_macro_data WHERE key_code = 0"), "0");
}

TEST_F(StoreTest, KeyFunctionsRoundTripAndListPerProfileAndLayer) {
    KeyFunction full;
    full.profile = 2;
    full.fn_layer = 1;
    full.key_code = 41;
    full.layout_value = 7;
    full.layout_desc = L"Esc";
    full.macro_type = 12;
    full.macro_value = 501;
    full.macro_value2 = -2;
    full.macro_value3 = 3;
    full.macro_desc = L"\u00dcbersicht \U0001F600";
    const int id = store.SetKeyFunction(full);
    ASSERT_GT(id, 0);
    KeyFunction read;
    ASSERT_TRUE(store.GetKeyFunction(2, 1, 41, read));
    EXPECT_EQ(read.key_id, id);
    EXPECT_EQ(
        std::tie(read.profile, read.fn_layer, read.key_code, read.layout_value, read.layout_desc,
                 read.macro_type, read.macro_value, read.macro_value2, read.macro_value3, read.macro_desc),
        std::tie(full.profile, full.fn_layer, full.key_code, full.layout_value, full.layout_desc,
                 full.macro_type, full.macro_value, full.macro_value2, full.macro_value3, full.macro_desc));
    EXPECT_FALSE(store.GetKeyFunction(2, 0, 41, read)) << "other layer";

    for (int code : {30, 5, 20}) {
        ASSERT_GT(store.SetKeyFunction(Key(2, 1, code, 2, code)), 0);
    }
    ASSERT_GT(store.SetKeyFunction(Key(2, 0, 9, 2, 9)), 0);
    ASSERT_GT(store.SetKeyFunction(Key(3, 1, 9, 2, 9)), 0);
    std::vector<KeyFunction> keys;
    ASSERT_EQ(store.ListKeyFunctions(2, 1, keys), 4);
    std::vector<int> codes;
    for (const KeyFunction& key : keys) {
        codes.push_back(key.key_code);
    }
    EXPECT_EQ(codes, (std::vector<int>{41, 30, 5, 20})) << "in the order they were stored";

    EXPECT_TRUE(store.ClearProfileKeys(2));
    EXPECT_EQ(store.ListKeyFunctions(2, 1, keys), 0);
    EXPECT_EQ(store.ListKeyFunctions(3, 1, keys), 1) << "other profiles keep their keys";
}

TEST_F(StoreTest, FailedStoreOfAKeyLeavesItsOwnFunction) {
    ASSERT_GT(store.SetKeyFunction(Key(1, 0, 4, 2, 5)), 0);
    FailInsertWhen(store, "t_key_macro_data", "macro_value", 9);
    // The caller is told 0 and shows the key's own function: the store must agree.
    EXPECT_EQ(store.SetKeyFunction(Key(1, 0, 4, 2, 9)), 0);
    KeyFunction read;
    EXPECT_FALSE(store.GetKeyFunction(1, 0, 4, read));
}

TEST_F(StoreTest, KeyExtrasAreFoundOnlyWhenTheyExist) {
    const int id = store.AddKeyExtra(L"https://example.org/\u00e4", L"param", 9);
    ASSERT_GT(id, 0);
    std::wstring desc, param;
    int type = 0;
    ASSERT_TRUE(store.GetKeyExtra(id, desc, param, type));
    EXPECT_EQ(desc, L"https://example.org/\u00e4");
    EXPECT_EQ(param, L"param");
    EXPECT_EQ(type, 9);

    desc = L"kept";
    param = L"kept too";
    type = 77;
    EXPECT_FALSE(store.GetKeyExtra(id + 1, desc, param, type));
    EXPECT_EQ(desc, L"kept");
    EXPECT_EQ(param, L"kept too");
    EXPECT_EQ(type, 77);
}

// ---- macros ----

TEST_F(StoreTest, MacrosAreAddedReadAndChanged) {
    const int plain = store.AddMacro(L"Combo");
    ASSERT_GT(plain, 0);
    MacroRecord read;
    ASSERT_TRUE(store.GetMacro(plain, read));
    EXPECT_EQ(read.macro_id, plain);
    EXPECT_EQ(read.name, L"Combo");
    EXPECT_EQ(std::tie(read.play_times, read.delay_type, read.delay_time, read.link_count, read.loop_type),
              std::make_tuple(1, 1, 0, 0, 0));

    MacroRecord full;
    full.name = L"Import";
    full.play_times = 4;
    full.delay_type = 3;
    full.delay_time = 25;
    full.link_count = 2;
    full.loop_type = 16;
    const int imported = store.AddMacroFull(full);
    ASSERT_GT(imported, plain);
    ASSERT_TRUE(store.GetMacro(imported, read));
    EXPECT_EQ(std::tie(read.name, read.play_times, read.delay_type, read.delay_time, read.link_count,
                       read.loop_type),
              std::tie(full.name, full.play_times, full.delay_type, full.delay_time, full.link_count,
                       full.loop_type));

    EXPECT_TRUE(store.RenameMacro(imported, L"Renamed"));
    MacroRecord settings;
    settings.macro_id = imported;
    settings.name = L"ignored";
    settings.link_count = 99;
    settings.play_times = 7;
    settings.delay_type = 2;
    settings.delay_time = 5;
    settings.loop_type = 32;
    EXPECT_TRUE(store.UpdateMacroSettings(settings));
    ASSERT_TRUE(store.GetMacro(imported, read));
    EXPECT_EQ(read.name, L"Renamed");
    EXPECT_EQ(read.link_count, 2);
    EXPECT_EQ(std::tie(read.play_times, read.delay_type, read.delay_time, read.loop_type),
              std::make_tuple(7, 2, 5, 32));
    int times = 0;
    EXPECT_TRUE(store.GetMacroPlayTimes(imported, times));
    EXPECT_EQ(times, 7);
    EXPECT_FALSE(store.GetMacroPlayTimes(999, times));
    EXPECT_FALSE(store.GetMacro(999, read));

    std::vector<MacroRecord> macros;
    ASSERT_EQ(store.ListMacros(macros), 2);
    EXPECT_EQ(macros[0].macro_id, plain);
    EXPECT_EQ(macros[1].name, L"Renamed");
}

TEST_F(StoreTest, MacroItemsAreListedByRecordIndex) {
    const int macro = store.AddMacro(L"m");
    const int other = store.AddMacro(L"other");
    std::vector<MacroItem> items;
    for (int index : {3, 0, 4, 1, 2}) {
        items.push_back(Item(macro, index % 2 ? 2 : 3, index, 65 + index));
    }
    items.push_back(Item(other, 2, 0));
    ASSERT_TRUE(store.AddMacroItems(items));
    ASSERT_GT(store.AddMacroItem(Item(macro, 1, -1)), 0);

    std::vector<MacroItem> read;
    ASSERT_EQ(store.ListMacroItems(macro, read), 6);
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].record_index, static_cast<int>(i) - 1);
        EXPECT_EQ(read[i].macro_id, macro);
        EXPECT_GT(read[i].record_id, 0);
    }
    EXPECT_EQ(read[1].value, 65);
    EXPECT_EQ(read[1].delay_time, 0);
    EXPECT_EQ(read[3].desc, L"event 2");
    EXPECT_EQ(read[3].type, 3);

    EXPECT_TRUE(store.DeleteMacroItems(macro));
    EXPECT_EQ(store.ListMacroItems(macro, read), 0);
    EXPECT_EQ(store.ListMacroItems(other, read), 1);
}

TEST_F(StoreTest, CountMacroEventsLeavesOutDelays) {
    const int mixed = store.AddMacro(L"mixed");
    const int delays = store.AddMacro(L"delays");
    ASSERT_TRUE(store.AddMacroItems({Item(mixed, 2, 0), Item(mixed, 1, 1), Item(mixed, 3, 2),
                                     Item(mixed, 5, 3), Item(delays, 1, 0), Item(delays, 1, 1)}));
    EXPECT_EQ(store.CountMacroEvents(mixed), 3);
    EXPECT_EQ(store.CountMacroEvents(delays), 0);
    EXPECT_EQ(store.CountMacroEvents(999), 0);
}

TEST_F(StoreTest, BulkMacroItemsAreStoredWholeOrNotAtAll) {
    const int macro = store.AddMacro(L"m");
    ASSERT_TRUE(store.AddMacroItems({Item(macro, 2, 0), Item(macro, 3, 1)}));
    std::vector<MacroItem> items;
    for (int i = 0; i < 1000; ++i) {
        items.push_back(Item(macro, 2, 100 + i));
    }
    FailInsertWhen(store, "t_macrorecord", "record_index", 600);
    EXPECT_FALSE(store.AddMacroItems(items));
    std::vector<MacroItem> read;
    EXPECT_EQ(store.ListMacroItems(macro, read), 2);
    // Replacing keeps the old events when the new ones cannot be stored...
    EXPECT_FALSE(store.ReplaceMacroItems(macro, items));
    EXPECT_EQ(store.ListMacroItems(macro, read), 2);
    // ...and swaps them in one step otherwise, under the macro given.
    items.resize(400);
    for (MacroItem& item : items) {
        item.macro_id = 0;
    }
    EXPECT_TRUE(store.ReplaceMacroItems(macro, items));
    ASSERT_EQ(store.ListMacroItems(macro, read), 400);
    EXPECT_EQ(read.front().record_index, 100);
    EXPECT_EQ(read.front().macro_id, macro);
    EXPECT_TRUE(store.AddMacroItems({})) << "nothing to store is no failure";
}

TEST_F(StoreTest, DeleteMacroCascadesToItsKeysOnly) {
    const int macro = store.AddMacro(L"gone");
    const int other = store.AddMacro(L"stays");
    ASSERT_TRUE(store.AddMacroItems({Item(macro, 2, 0), Item(macro, 3, 1), Item(other, 2, 0)}));
    ASSERT_GT(store.SetKeyFunction(Key(1, 0, 4, 3, macro)), 0);
    ASSERT_GT(store.SetKeyFunction(Key(2, 1, 5, 3, macro)), 0);
    ASSERT_GT(store.SetKeyFunction(Key(1, 0, 6, 2, macro)), 0) << "a key code that happens to equal the id";
    ASSERT_GT(store.SetKeyFunction(Key(1, 0, 7, 3, other)), 0);

    EXPECT_TRUE(store.DeleteMacro(macro));
    MacroRecord read;
    EXPECT_FALSE(store.GetMacro(macro, read));
    std::vector<MacroItem> items;
    EXPECT_EQ(store.ListMacroItems(macro, items), 0);
    EXPECT_EQ(store.ListMacroItems(other, items), 1);
    EXPECT_EQ(Rows("SELECT profile, key_code, macro_type, macro_value FROM t_key_macro_data ORDER BY key_id"),
              (std::vector<std::string>{"1|6|2|" + std::to_string(macro), "1|7|3|" + std::to_string(other)}));
}

TEST_F(StoreTest, FailedDeleteMacroKeepsEverything) {
    const int macro = store.AddMacro(L"m");
    ASSERT_TRUE(store.AddMacroItems({Item(macro, 2, 0)}));
    ASSERT_GT(store.SetKeyFunction(Key(1, 0, 4, 3, macro)), 0);
    {
        std::lock_guard lock(store.StoreLock());
        ASSERT_EQ(store.Exec("CREATE TRIGGER no_delete BEFORE DELETE ON t_key_macro_data "
                             "BEGIN SELECT RAISE(ABORT, 'injected'); END"),
                  0);
    }
    EXPECT_FALSE(store.DeleteMacro(macro));
    MacroRecord read;
    EXPECT_TRUE(store.GetMacro(macro, read));
    std::vector<MacroItem> items;
    EXPECT_EQ(store.ListMacroItems(macro, items), 1);
}

// ---- lighting ----

LightRecord Light(int profile, int mode, int status = 0) {
    LightRecord record;
    record.profile = profile;
    record.name = L"mode " + std::to_wstring(mode);
    record.mode = mode;
    record.brightness = 4;
    record.speed = 2;
    record.direction = 1;
    record.colorful = 1;
    record.colorindex = 3;
    record.color_value = 0x00FF8040;
    record.config_func = 0x1F;
    record.reserved = 6;
    record.status = status;
    return record;
}

TEST_F(StoreTest, LightModesRoundTripAndUpdateByProfileAndMode) {
    const LightRecord stored = Light(1, 5, 1);
    const int id = store.AddLightMode(stored);
    ASSERT_GT(id, 0);
    ASSERT_GT(store.AddLightMode(Light(1, 6)), id);
    ASSERT_GT(store.AddLightMode(Light(2, 5)), id);
    EXPECT_EQ(store.CountLightModes(1), 2);
    EXPECT_EQ(store.CountLightModes(3), 0);

    LightRecord read;
    ASSERT_TRUE(store.GetLightMode(1, 5, read));
    EXPECT_EQ(read.light_id, id);
    EXPECT_EQ(std::tie(read.profile, read.name, read.mode, read.brightness, read.speed, read.direction,
                       read.colorful, read.colorindex, read.color_value, read.config_func, read.reserved,
                       read.status),
              std::tie(stored.profile, stored.name, stored.mode, stored.brightness, stored.speed,
                       stored.direction, stored.colorful, stored.colorindex, stored.color_value,
                       stored.config_func, stored.reserved, stored.status));
    EXPECT_FALSE(store.GetLightMode(1, 7, read));

    LightRecord change;
    change.light_id = 999; // the row is chosen by (profile, mode), not by this
    change.name = L"not written";
    change.status = 0;
    change.brightness = 1;
    change.speed = 9;
    change.direction = 2;
    change.colorful = 0;
    change.colorindex = 7;
    change.color_value = 0x123456;
    change.config_func = 3;
    change.reserved = 8;
    EXPECT_TRUE(store.UpdateLightMode(1, 5, change));
    ASSERT_TRUE(store.GetLightMode(1, 5, read));
    EXPECT_EQ(std::tie(read.brightness, read.speed, read.direction, read.colorful, read.colorindex,
                       read.color_value, read.config_func, read.reserved),
              std::tie(change.brightness, change.speed, change.direction, change.colorful, change.colorindex,
                       change.color_value, change.config_func, change.reserved));
    EXPECT_EQ(read.name, L"mode 5");
    EXPECT_EQ(read.status, 1);
    ASSERT_TRUE(store.GetLightMode(2, 5, read));
    EXPECT_EQ(read.brightness, 4) << "the other profile's row is untouched";

    std::vector<LightRecord> modes;
    ASSERT_EQ(store.ListLightModes(1, modes), 2);
    EXPECT_EQ(modes[0].mode, 5);
    EXPECT_EQ(modes[1].mode, 6);
}

TEST_F(StoreTest, ExactlyOneLightModeIsActiveInTheWholeTable) {
    for (int profile : {1, 2}) {
        for (int mode : {1, 2, 3}) {
            ASSERT_GT(store.AddLightMode(Light(profile, mode, 1)), 0);
        }
    }
    ASSERT_TRUE(store.SetActiveLightMode(2, 3));
    EXPECT_EQ(Rows("SELECT profile, mode FROM t_light_data WHERE status = 1"),
              std::vector<std::string>{"2|3"});
    EXPECT_EQ(store.GetActiveLightMode(2), 3);
    EXPECT_EQ(store.GetActiveLightMode(1), 0) << "cleared in the other profile too";
    ASSERT_TRUE(store.SetActiveLightMode(1, 2));
    EXPECT_EQ(Rows("SELECT profile, mode FROM t_light_data WHERE status = 1"),
              std::vector<std::string>{"1|2"});
    EXPECT_FALSE(store.SetActiveLightMode(1, 9));
    EXPECT_EQ(store.GetActiveLightMode(1), 2) << "an unknown mode changes nothing";
}

TEST_F(StoreTest, KeyLightsAreStoredWholeListedAndDeleted) {
    std::vector<KeyLightRecord> colours;
    for (int code = 1; code <= 104; ++code) {
        colours.push_back({.profile = 1, .light_id = 128, .key_code = code, .key_rgb = code * 0x010101});
    }
    EXPECT_EQ(store.AddKeyLights(colours), 104);
    EXPECT_EQ(store.AddKeyLights({{.profile = 1, .light_id = 5, .key_code = 4, .key_rgb = 0xFF}}), 1);

    std::vector<KeyLightRecord> read;
    ASSERT_EQ(store.ListKeyLights(128, read), 104);
    EXPECT_EQ(read[9].key_code, 10);
    EXPECT_EQ(read[9].key_rgb, 0x0A0A0A);
    EXPECT_EQ(read[9].profile, 1);
    EXPECT_GT(read[9].keylight_id, read[8].keylight_id);

    FailInsertWhen(store, "t_key_light_data", "key_code", 50);
    EXPECT_EQ(store.AddKeyLights(colours), 0) << "none stored, and the caller is told so";
    EXPECT_EQ(store.ListKeyLights(128, read), 104);

    EXPECT_TRUE(store.DeleteKeyLights(128));
    EXPECT_EQ(store.ListKeyLights(128, read), 0);
    EXPECT_EQ(store.ListKeyLights(5, read), 1);
}

// ---- music layer ----

TEST_F(StoreTest, MusicLayerIsLayerOneOfProfileOne) {
    EXPECT_EQ(store.CountMusicLayers(), 0);
    EXPECT_EQ(store.GetSelectedMusicLayer(), 0);
    EXPECT_FALSE(store.SelectMusicLayer()) << "no layer to select";
    const int id = store.AddMusicLayer(L"Music", 2);
    ASSERT_EQ(id, 1);
    EXPECT_EQ(store.CountMusicLayers(), 1);
    EXPECT_EQ(Value("SELECT profile, name, deviceindex, foremode, fore_amplitude, backmode, backb_right, sel "
                    "FROM t_musiclayer_data"),
              "1|Music|0|2|300|0|100|0");

    MusicLayerRecord change;
    change.layer_id = 0; // layer 1 is written whatever this says
    change.deviceindex = 1;
    change.foremode = 3;
    change.fore_amplitude = 150;
    change.backmode = 2;
    change.backb_right = 40;
    EXPECT_TRUE(store.UpdateMusicLayer(change));
    MusicLayerRecord read;
    ASSERT_TRUE(store.GetMusicLayer(1, read));
    EXPECT_EQ(std::tie(read.layer_id, read.profile, read.name, read.deviceindex, read.foremode,
                       read.fore_amplitude, read.backmode, read.backb_right),
              std::make_tuple(1, 1, std::wstring(L"Music"), 1, 3, 150, 2, 40));
    EXPECT_FALSE(store.GetMusicLayer(2, read));

    EXPECT_TRUE(store.SelectMusicLayer());
    EXPECT_EQ(store.GetSelectedMusicLayer(), 1);
}

// ---- conventions shared by every operation ----

TEST_F(StoreTest, ListsEmptyAReusedVectorFirst) {
    const int profile = store.AddProfile(Profile(L"p"));
    const int macro = store.AddMacro(L"m");
    ASSERT_TRUE(store.AddMacroItems({Item(macro, 2, 0)}));
    ASSERT_GT(store.SetKeyFunction(Key(profile, 0, 4, 2, 5)), 0);
    ASSERT_GT(store.AddLightMode(Light(profile, 1)), 0);
    ASSERT_EQ(store.AddKeyLights({{.profile = profile, .light_id = 128, .key_code = 4, .key_rgb = 1}}), 1);

    // Each list runs twice into the same vector, which starts out holding stale records.
    const std::vector<std::pair<const char*, std::function<std::pair<int, size_t>()>>> lists = {
        {"profiles",
         [&, v = std::vector<ProfileRecord>(3)]() mutable {
             return std::pair{store.ListProfiles(v), v.size()};
         }},
        {"keys",
         [&, v = std::vector<KeyFunction>(3)]() mutable {
             return std::pair{store.ListKeyFunctions(profile, 0, v), v.size()};
         }},
        {"macros",
         [&, v = std::vector<MacroRecord>(3)]() mutable {
             return std::pair{store.ListMacros(v), v.size()};
         }},
        {"items",
         [&, v = std::vector<MacroItem>(3)]() mutable {
             return std::pair{store.ListMacroItems(macro, v), v.size()};
         }},
        {"lights",
         [&, v = std::vector<LightRecord>(3)]() mutable {
             return std::pair{store.ListLightModes(profile, v), v.size()};
         }},
        {"key lights",
         [&, v = std::vector<KeyLightRecord>(3)]() mutable {
             return std::pair{store.ListKeyLights(128, v), v.size()};
         }},
    };
    for (const auto& [what, list] : lists) {
        SCOPED_TRACE(what);
        for (int round = 0; round < 2; ++round) {
            const auto [count, size] = list();
            EXPECT_EQ(count, 1);
            EXPECT_EQ(size, 1u);
        }
    }
}

TEST(ConfigStoreClosed, EveryOperationFailsSoftlyWithoutAFile) {
    ConfigStore store; // never opened
    std::vector<ProfileRecord> profiles(2);
    std::vector<KeyFunction> keys(2);
    std::vector<MacroRecord> macros(2);
    std::vector<MacroItem> items(2);
    std::vector<LightRecord> lights(2);
    std::vector<KeyLightRecord> colours(2);
    std::wstring text = L"x", more = L"y";
    int number = 5;
    KeyFunction key = Key(1, 0, 4, 2, 5);
    MacroRecord macro;
    LightRecord light;
    MusicLayerRecord layer;

    EXPECT_EQ(store.AddProfile(Profile(L"p")), 0);
    EXPECT_FALSE(store.DeleteProfile(1));
    EXPECT_FALSE(store.RenameProfile(1, L"n"));
    EXPECT_FALSE(store.GetProfileName(1, text));
    EXPECT_EQ(store.ListProfiles(profiles), 0);
    EXPECT_FALSE(store.SetActiveProfile(1));
    EXPECT_EQ(store.GetActiveProfile(), 0);
    EXPECT_EQ(store.SetKeyFunction(key), 0);
    EXPECT_FALSE(store.GetKeyFunction(1, 0, 4, key));
    EXPECT_EQ(store.ListKeyFunctions(1, 0, keys), 0);
    EXPECT_FALSE(store.ClearProfileKeys(1));
    EXPECT_EQ(store.AddKeyExtra(L"d", L"p", 8), 0);
    EXPECT_FALSE(store.GetKeyExtra(1, text, more, number));
    EXPECT_EQ(number, 5);
    EXPECT_EQ(store.AddMacro(L"m"), 0);
    EXPECT_EQ(store.AddMacroFull(macro), 0);
    EXPECT_FALSE(store.RenameMacro(1, L"m"));
    EXPECT_FALSE(store.UpdateMacroSettings(macro));
    EXPECT_FALSE(store.DeleteMacro(1));
    EXPECT_FALSE(store.GetMacroPlayTimes(1, number));
    EXPECT_FALSE(store.GetMacro(1, macro));
    EXPECT_EQ(store.ListMacros(macros), 0);
    EXPECT_EQ(store.AddMacroItem(Item(1, 2, 0)), 0);
    EXPECT_FALSE(store.AddMacroItems({Item(1, 2, 0)}));
    EXPECT_FALSE(store.ReplaceMacroItems(1, {Item(1, 2, 0)}));
    EXPECT_EQ(store.ListMacroItems(1, items), 0);
    EXPECT_FALSE(store.DeleteMacroItems(1));
    EXPECT_EQ(store.CountMacroEvents(1), 0);
    EXPECT_EQ(store.CountLightModes(1), 0);
    EXPECT_EQ(store.AddLightMode(light), 0);
    EXPECT_FALSE(store.UpdateLightMode(1, 1, light));
    EXPECT_FALSE(store.SetActiveLightMode(1, 1));
    EXPECT_EQ(store.GetActiveLightMode(1), 0);
    EXPECT_FALSE(store.GetLightMode(1, 1, light));
    EXPECT_EQ(store.ListLightModes(1, lights), 0);
    EXPECT_EQ(store.AddKeyLights({{.profile = 1, .light_id = 128, .key_code = 4, .key_rgb = 1}}), 0);
    EXPECT_FALSE(store.DeleteKeyLights(128));
    EXPECT_EQ(store.ListKeyLights(128, colours), 0);
    EXPECT_EQ(store.CountMusicLayers(), 0);
    EXPECT_EQ(store.AddMusicLayer(L"m", 1), 0);
    EXPECT_FALSE(store.GetMusicLayer(1, layer));
    EXPECT_FALSE(store.UpdateMusicLayer(layer));
    EXPECT_FALSE(store.SelectMusicLayer());
    EXPECT_EQ(store.GetSelectedMusicLayer(), 0);
    EXPECT_FALSE(store.WriteDefaultSettings());
    // No model chosen yet: there is no file to give the schema, and a private scratch database
    // that vanishes on close must not pass for one.
    EXPECT_FALSE(store.CreateSchema());
    EXPECT_FALSE(store.IsOpen());

    EXPECT_TRUE(profiles.empty() && keys.empty() && macros.empty() && items.empty() && lights.empty() &&
                colours.empty())
        << "lists clear the caller's vector even when they fail";
}

} // namespace
} // namespace kw::test
