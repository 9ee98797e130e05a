// A writer process killed at random moments never leaves a damaged file or half a macro.

#include "tests/store/StoreTestHelpers.h"

#include "ui/framework/TextConvert.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kw::test {
namespace {

constexpr const wchar_t* kModel = L"K1";

// The child: adds macros with thousands of events each, in bulk, until it is killed. Each macro's
// name says how many events it gets.
[[noreturn]] void WriteMacrosUntilKilled(const std::filesystem::path& dataFolder, unsigned seed) {
    ConfigStore store;
    if (!store.OpenStore(dataFolder, kModel)) {
        _exit(4);
    }
    std::mt19937 random(seed);
    for (;;) {
        const int count = 1000 + static_cast<int>(random() % 4000);
        const int macro = store.AddMacro(L"n=" + std::to_wstring(count));
        if (macro == 0) {
            _exit(5);
        }
        std::vector<MacroItem> items(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            MacroItem& item = items[static_cast<size_t>(i)];
            item.macro_id = macro;
            item.type = 2 + i % 2;
            item.record_index = i;
            item.value = 65 + i % 26;
            item.delay_time = i;
            item.desc = L"key " + std::to_wstring(i);
        }
        if (!store.AddMacroItems(items)) {
            _exit(6);
        }
    }
}

TEST(ConfigStoreCrash, KilledBulkWriterLeavesASoundFileAndWholeMacros) {
    constexpr int kKills = 60;
    TempDir dir;
    std::mt19937 random(20261211);
    int wholeMacros = 0;
    int emptyMacros = 0;
    for (int round = 0; round < kKills; ++round) {
        SCOPED_TRACE("kill " + std::to_string(round));
        const unsigned seed = static_cast<unsigned>(random());
        // Now and then the writer gets long enough to finish some macros even on a slow machine.
        const auto delay = std::chrono::milliseconds(round % 10 == 9 ? 400 : 5 + random() % 150);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            WriteMacrosUntilKilled(dir.path(), seed);
        }
        std::this_thread::sleep_for(delay);
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer stopped by itself, exit status " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);

        ConfigStore store;
        ASSERT_TRUE(store.OpenStore(dir.path(), kModel));
        {
            std::lock_guard lock(store.StoreLock());
            ASSERT_EQ(QueryRows(store, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
        }
        std::vector<MacroRecord> macros;
        std::vector<MacroItem> items;
        store.ListMacros(macros);
        for (const MacroRecord& macro : macros) {
            const int expected = std::stoi(vellum::ToUtf8(macro.name.substr(2)));
            const int count = store.ListMacroItems(macro.macro_id, items);
            ASSERT_TRUE(count == 0 || count == expected)
                << "macro " << macro.macro_id << " has " << count << " of its " << expected << " events";
            for (int i = 0; i < count; ++i) {
                ASSERT_EQ(items[static_cast<size_t>(i)].record_index, i);
            }
        }
        if (round == kKills - 1) {
            for (const MacroRecord& macro : macros) {
                (store.CountMacroEvents(macro.macro_id) == 0 ? emptyMacros : wholeMacros) += 1;
            }
        }
    }
    std::printf("after %d kills: %d macros with all their events, %d left empty by a kill\n", kKills,
                wholeMacros, emptyMacros);
    // The writer got work done between kills, and kills did land inside bulk writes.
    EXPECT_GT(wholeMacros, 0);
    EXPECT_GT(emptyMacros, 0);
}

} // namespace
} // namespace kw::test
