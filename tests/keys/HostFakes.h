#pragma once

// Stand-ins for the store, the macro queue, the main window, the shell and the clipboard, for
// tests of the host playback.

#include "app/keys/Clipboard.h"
#include "app/keys/HostKeyStore.h"
#include "app/keys/HostShell.h"
#include "app/keys/HostWindow.h"
#include "app/keys/MacroPlayer.h"
#include "app/keys/MacroQueue.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

namespace kw::test {

class FakeHostKeyStore : public HostKeyStore {
public:
    int ListKeyFunctions(int profile, int fnLayer, std::vector<KeyFunction>& records) override {
        std::lock_guard lock(mutex);
        records.clear();
        for (const KeyFunction& key : keys) {
            if (key.profile == profile && key.fn_layer == fnLayer)
                records.push_back(key);
        }
        return static_cast<int>(records.size());
    }
    bool GetMacro(int macroId, MacroRecord& record) override {
        std::lock_guard lock(mutex);
        const auto found = macros.find(macroId);
        if (found == macros.end())
            return false;
        record = found->second;
        return true;
    }
    int ListMacroItems(int macroId, std::vector<MacroItem>& result) override {
        std::lock_guard lock(mutex);
        result.clear();
        for (const MacroItem& item : items) {
            if (item.macro_id == macroId)
                result.push_back(item);
        }
        ++itemReads;
        return static_cast<int>(result.size());
    }
    bool GetKeyExtra(int extraId, KeyExtra& extra) override {
        std::lock_guard lock(mutex);
        const auto found = extras.find(extraId);
        if (found == extras.end())
            return false;
        extra = found->second;
        return true;
    }

    void AddKey(int profile, int layer, int code, int type, int value) {
        KeyFunction key;
        key.profile = profile;
        key.fn_layer = layer;
        key.key_code = code;
        key.macro_type = type;
        key.macro_value = value;
        std::lock_guard lock(mutex);
        keys.push_back(key);
    }
    void AddMacro(int id, int loopType, int playTimes, const std::vector<std::pair<int, int>>& events,
                  int delay = 5) {
        MacroRecord record;
        record.macro_id = id;
        record.loop_type = loopType;
        record.play_times = playTimes;
        std::lock_guard lock(mutex);
        macros[id] = record;
        int index = 0;
        for (const auto& [type, vk] : events) {
            MacroItem item;
            item.macro_id = id;
            item.type = type;
            item.value = vk;
            item.delay_time = delay;
            item.record_index = index++;
            items.push_back(item);
        }
    }
    int ItemReads() {
        std::lock_guard lock(mutex);
        return itemReads;
    }

    std::mutex mutex;
    std::vector<KeyFunction> keys;
    std::map<int, MacroRecord> macros;
    std::vector<MacroItem> items;
    std::map<int, KeyExtra> extras;
    int itemReads = 0;
};

// The worker's macro queue: like the device link, the front entry stays queued while it plays.
class FakeMacroQueue : public MacroQueue {
public:
    bool Empty() const override {
        std::lock_guard lock(mutex_);
        return ids_.empty();
    }
    void Post(int macroId) override {
        {
            std::lock_guard lock(mutex_);
            ids_.push_back(macroId);
            ++posted_;
        }
        changed_.notify_all();
    }
    int Posted() const {
        std::lock_guard lock(mutex_);
        return posted_;
    }
    // Plays queued macros on a thread of its own until destroyed.
    void RunWorker(MacroPlayer& player) {
        worker_ = std::thread([this, &player] {
            std::unique_lock lock(mutex_);
            for (;;) {
                changed_.wait(lock, [this] { return stop_ || !ids_.empty(); });
                if (stop_)
                    return;
                const int id = ids_.front();
                lock.unlock();
                player.PlayMacro(id);
                lock.lock();
                ids_.pop_front();
                ++played_;
                changed_.notify_all();
            }
        });
    }
    bool WaitPlayed(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return played_ >= count; });
    }
    ~FakeMacroQueue() override { StopWorker(); }
    void StopWorker() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        if (worker_.joinable())
            worker_.join();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int> ids_;
    int posted_ = 0;
    int played_ = 0;
    bool stop_ = false;
    std::thread worker_;
};

class FakeWindow : public HostWindow {
public:
    int CurrentProfile() const override { return profile; }
    int CurrentLayer() const override { return layer; }
    void SwitchProfile(int newProfile) override {
        profile = newProfile;
        switched.push_back(newProfile);
    }
    void PostToUiThread(std::function<void()> task) override {
        std::lock_guard lock(mutex);
        tasks.push_back(std::move(task));
    }
    // Runs what was posted, as the user-interface thread would.
    size_t RunUiTasks() {
        std::vector<std::function<void()>> run;
        {
            std::lock_guard lock(mutex);
            run.swap(tasks);
        }
        for (auto& task : run)
            task();
        return run.size();
    }

    std::atomic<int> profile{1};
    std::atomic<int> layer{0};
    std::vector<int> switched;
    std::mutex mutex;
    std::vector<std::function<void()>> tasks;
};

class FakeShell : public HostShell {
public:
    bool StartProgram(const std::wstring& path) override {
        programs.push_back(path);
        return true;
    }
    bool OpenAddress(const std::wstring& address) override {
        addresses.push_back(address);
        return true;
    }
    std::vector<std::wstring> programs;
    std::vector<std::wstring> addresses;
};

class FakeClipboard : public Clipboard {
public:
    bool GetText(std::wstring& out) override {
        if (!hasText)
            return false;
        out = text;
        return true;
    }
    bool SetText(const std::wstring& newText) override {
        text = newText;
        hasText = true;
        history.push_back(newText);
        return true;
    }
    void Clear() override {
        text.clear();
        hasText = false;
        history.push_back(L"<cleared>");
    }
    bool hasText = false;
    std::wstring text;
    std::vector<std::wstring> history;
};

} // namespace kw::test
