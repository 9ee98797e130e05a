// Threads sharing the store: every operation is whole as seen from another thread.

#include "tests/store/StoreTestHelpers.h"

#include <atomic>
#include <set>
#include <thread>

namespace kw::test {
namespace {

constexpr int kRounds = 150;
constexpr int kItemsPerMacro = 40;

std::vector<MacroItem> Items(int macro) {
    std::vector<MacroItem> items(kItemsPerMacro);
    for (int i = 0; i < kItemsPerMacro; ++i) {
        items[static_cast<size_t>(i)].macro_id = macro;
        items[static_cast<size_t>(i)].type = 2;
        items[static_cast<size_t>(i)].record_index = i;
    }
    return items;
}

TEST_F(StoreTest, WriterAndReaderThreadsSeeWholeOperations) {
    const int profiles[] = {store.AddProfile(Profile(L"a")), store.AddProfile(Profile(L"b"))};
    std::atomic<int> failures{0};
    std::thread writer([&] {
        for (int i = 0; i < kRounds; ++i) {
            KeyFunction key;
            key.profile = profiles[0];
            key.key_code = 4 + i % 64;
            key.macro_type = 2;
            key.macro_value = i + 1;
            failures += store.SetKeyFunction(key) == 0;
            const int macro = store.AddMacro(L"m");
            failures += macro == 0 || !store.AddMacroItems(Items(macro));
            failures += !store.SetActiveProfile(profiles[i % 2]);
        }
    });
    std::thread reader([&] {
        std::vector<KeyFunction> keys;
        std::vector<MacroRecord> macros;
        std::vector<MacroItem> items;
        for (int i = 0; i < kRounds; ++i) {
            store.ListKeyFunctions(profiles[0], 0, keys);
            std::set<int> codes;
            for (const KeyFunction& key : keys) {
                failures += !codes.insert(key.key_code).second; // a replaced key seen twice
            }
            if (store.ListMacros(macros) > 0) {
                const int count = store.ListMacroItems(macros.back().macro_id, items);
                failures += count != 0 && count != kItemsPerMacro;
            }
            const int active = store.GetActiveProfile();
            failures += active != 0 && active != profiles[0] && active != profiles[1];
        }
    });
    writer.join();
    reader.join();
    EXPECT_EQ(failures.load(), 0);
    std::vector<MacroRecord> macros;
    EXPECT_EQ(store.ListMacros(macros), kRounds);
    EXPECT_EQ(Value("SELECT count(*) FROM t_macrorecord"), std::to_string(kRounds * kItemsPerMacro));
}

TEST_F(StoreTest, ReopeningWhileOtherThreadsWorkIsSafe) {
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        std::vector<MacroItem> items;
        while (!stop) {
            // Results depend on whether the file is open at that moment; only safety is checked.
            if (const int macro = store.AddMacro(L"m"); macro != 0) {
                store.AddMacroItems(Items(macro));
                store.ListMacroItems(macro, items);
            }
        }
    });
    for (int i = 0; i < 40; ++i) {
        store.Close();
        std::this_thread::yield();
        // Not ASSERT: returning with the worker still running would abort the whole test program.
        if (!store.OpenStore(dir.path(), L"K1")) {
            ADD_FAILURE() << "reopening failed in round " << i;
            break;
        }
        std::this_thread::yield();
    }
    stop = true;
    worker.join();
    EXPECT_EQ(Rows("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
    // Whatever the worker got in stayed whole.
    EXPECT_EQ(
        Value(
            "SELECT count(*) FROM (SELECT macro_id FROM t_macrorecord GROUP BY macro_id HAVING count(*) <> " +
            std::to_string(kItemsPerMacro) + ")"),
        "0");
}

} // namespace
} // namespace kw::test
