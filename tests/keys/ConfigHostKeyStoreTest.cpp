#include "app/keys/HostKeyStore.h"
#include "app/store/ConfigStore.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

// The playback's reads against a real store file.
TEST(ConfigHostKeyStore, ReadsKeysMacrosAndExtrasOfTheStore) {
    test::TempDir dir;
    ConfigStore store;
    ASSERT_TRUE(store.OpenStore(dir.path(), L"KW-104"));
    ConfigHostKeyStore host(store);

    KeyFunction key;
    key.profile = 3;
    key.fn_layer = 0;
    key.key_code = 4;
    key.macro_type = 2;
    key.macro_value = 234;
    ASSERT_NE(store.SetKeyFunction(key), 0);
    key.fn_layer = 1;
    key.key_code = 5;
    ASSERT_NE(store.SetKeyFunction(key), 0);
    std::vector<KeyFunction> keys;
    EXPECT_EQ(host.ListKeyFunctions(3, 0, keys), 1);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].key_code, 4);
    EXPECT_EQ(keys[0].macro_value, 234);

    MacroRecord macro;
    macro.name = L"Macro 1";
    macro.loop_type = 16;
    macro.play_times = 2;
    const int macroId = store.AddMacroFull(macro);
    ASSERT_NE(macroId, 0);
    for (int index : {1, 0}) {
        MacroItem item;
        item.macro_id = macroId;
        item.type = 2;
        item.record_index = index;
        item.value = 65 + index;
        ASSERT_NE(store.AddMacroItem(item), 0);
    }
    MacroRecord read;
    ASSERT_TRUE(host.GetMacro(macroId, read));
    EXPECT_EQ(read.loop_type, 16);
    EXPECT_FALSE(host.GetMacro(macroId + 100, read));
    std::vector<MacroItem> items;
    ASSERT_EQ(host.ListMacroItems(macroId, items), 2);
    EXPECT_EQ(items[0].value, 65); // play order
    EXPECT_EQ(items[1].value, 66);

    const int extraId = store.AddKeyExtra(L"example.com", L"", 9);
    ASSERT_NE(extraId, 0);
    KeyExtra extra;
    ASSERT_TRUE(host.GetKeyExtra(extraId, extra));
    EXPECT_EQ(extra.macro_value, extraId);
    EXPECT_EQ(extra.macro_desc, L"example.com");
    EXPECT_EQ(extra.type, 9);
    EXPECT_FALSE(host.GetKeyExtra(extraId + 100, extra));
}

} // namespace
} // namespace kw
