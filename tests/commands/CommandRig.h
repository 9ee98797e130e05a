#pragma once

// The download and lighting command tests' rig: a simulated keyboard on the link with a virtual
// clock, a download source held in memory, and the keyboard's reports decoded into commands.

#include "app/device/DownloadSource.h"
#include "sim/SimCommandLog.h"
#include "tests/device/LinkRig.h"

#include <map>
#include <memory>
#include <vector>

namespace kw::test {

inline ModeEntry Cable301() {
    return Mode(301, 0, 0x1209, 0x0009, L"VID_1209&PID_0009&MI_02");
}

// Key functions, macros and their items as the store would return them. Virtual keys A to Z map
// to usages 4 to 29, every other virtual key to 0x80 + its low bits, so tests see which is which.
class MemorySource : public DownloadSource {
public:
    std::vector<KeyFunction> KeyFunctions() override { return functions; }
    bool Macro(int macroId, MacroRecord& record) override {
        const auto found = macros.find(macroId);
        if (found == macros.end()) {
            return false;
        }
        record = found->second;
        return true;
    }
    std::vector<MacroItem> MacroItems(int macroId) override { return items[macroId]; }
    int UsageOfVirtualKey(int vk) override { return vk >= 'A' && vk <= 'Z' ? vk - 61 : 0x80 | (vk & 0x7F); }

    void AddFunction(int keyCode, int type, int value) {
        KeyFunction function;
        function.key_code = keyCode;
        function.macro_type = type;
        function.macro_value = value;
        functions.push_back(function);
    }
    void AddMacro(int macroId, int playTimes, std::vector<MacroItem> events) {
        MacroRecord record;
        record.macro_id = macroId;
        record.play_times = playTimes;
        macros[macroId] = record;
        items[macroId] = std::move(events);
    }

    std::vector<KeyFunction> functions;
    std::map<int, MacroRecord> macros;
    std::map<int, std::vector<MacroItem>> items;
};

inline MacroItem Item(int type, int value, int delay) {
    MacroItem item;
    item.type = type;
    item.value = value;
    item.delay_time = delay;
    return item;
}
inline MacroItem Press(int vk, int delay) {
    return Item(2, vk, delay);
}
inline MacroItem Release(int vk, int delay) {
    return Item(3, vk, delay);
}

// A link with one simulated keyboard plugged in and connected.
struct CommandRig : LinkRig {
    explicit CommandRig(const ModeEntry& entry) : LinkRig({entry}), entry_(entry) {
        link.SetDeviceType(entry.device_type);
        keyboard = Connect(entry);
        keyboard->ClearReports();
    }
    SimCommandLog Log() const {
        return DecodeSimReports(keyboard->Reports(), entry_.device_type > 200 && entry_.device_type < 300);
    }
    // Runs one job through the worker pass.
    void RunJob(int code) {
        link.PostJob(code);
        while (link.PendingJobs() > 0) {
            link.RunPass();
        }
    }
    long long NowMs() const { return clock->Now().count() / 1000; }

    ModeEntry entry_;
    std::shared_ptr<SimulatedKeyboard> keyboard;
};

inline long long Ms(SimTime time) {
    return time.count() / 1000;
}

} // namespace kw::test
