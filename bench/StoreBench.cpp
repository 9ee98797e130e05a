// The configuration store on a real file: the key page's writes and reads, and the bulk writes of
// the macro editor and per-key lighting.

#include "app/store/ConfigStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A store of its own in a fresh folder under the temporary folder, removed afterwards.
class BenchStore {
public:
    BenchStore() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kwbench.XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            folder_ = pattern;
            opened_ = store.OpenStore(folder_, L"Bench");
        }
    }
    ~BenchStore() {
        store.Close();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    BenchStore(const BenchStore&) = delete;
    BenchStore& operator=(const BenchStore&) = delete;

    bool Ready(benchmark::State& state) {
        if (!opened_) {
            state.SkipWithError("the store could not be created");
        }
        return opened_;
    }

    kw::ConfigStore store;

private:
    std::filesystem::path folder_;
    bool opened_ = false;
};

kw::KeyFunction Key(int key_code, int value) {
    kw::KeyFunction key;
    key.profile = 1;
    key.key_code = key_code;
    key.macro_type = 2;
    key.macro_value = value;
    key.macro_desc = L"Ctrl+C";
    return key;
}

void BM_SetKeyFunction(benchmark::State& state) {
    BenchStore bench;
    if (!bench.Ready(state)) {
        return;
    }
    int i = 0;
    for (auto _ : state) {
        // Re-assigning the keys of a 64-key profile over and over: delete and insert each time.
        benchmark::DoNotOptimize(bench.store.SetKeyFunction(Key(4 + i % 64, 1 + i)));
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SetKeyFunction);

void BM_ListKeyFunctions(benchmark::State& state) {
    BenchStore bench;
    if (!bench.Ready(state)) {
        return;
    }
    for (int code = 4; code < 4 + 64; ++code) {
        bench.store.SetKeyFunction(Key(code, code));
    }
    std::vector<kw::KeyFunction> keys;
    for (auto _ : state) {
        benchmark::DoNotOptimize(bench.store.ListKeyFunctions(1, 0, keys));
    }
    state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_ListKeyFunctions);

void BM_AddMacroItems(benchmark::State& state) {
    BenchStore bench;
    if (!bench.Ready(state)) {
        return;
    }
    const int macro = bench.store.AddMacro(L"Bench");
    std::vector<kw::MacroItem> items(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].macro_id = macro;
        items[i].type = 2 + static_cast<int>(i % 2);
        items[i].record_index = static_cast<int>(i);
        items[i].value = 65 + static_cast<int>(i % 26);
        items[i].delay_time = 10;
        items[i].desc = L"A";
    }
    for (auto _ : state) {
        if (!bench.store.AddMacroItems(items)) {
            state.SkipWithError("AddMacroItems failed");
            break;
        }
        state.PauseTiming();
        bench.store.DeleteMacroItems(macro);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AddMacroItems)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_AddKeyLights(benchmark::State& state) {
    BenchStore bench;
    if (!bench.Ready(state)) {
        return;
    }
    std::vector<kw::KeyLightRecord> colours;
    for (int code = 1; code <= 104; ++code) {
        colours.push_back({.profile = 1, .light_id = 128, .key_code = code, .key_rgb = code * 0x020304});
    }
    for (auto _ : state) {
        if (bench.store.AddKeyLights(colours) != 104) {
            state.SkipWithError("AddKeyLights failed");
            break;
        }
        state.PauseTiming();
        bench.store.DeleteKeyLights(128);
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 104);
}
BENCHMARK(BM_AddKeyLights)->Unit(benchmark::kMicrosecond);

} // namespace
