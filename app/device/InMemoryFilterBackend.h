#pragma once

// A key filter fed by hand: tests (and the demonstration keyboard) inject key events; events of
// keys that are not in the current list are passed on, which here means they are counted.
// Every control call is recorded. Any thread.

#include "app/device/FilterEventQueue.h"
#include "app/device/KeyFilterBackend.h"

#include <atomic>
#include <mutex>
#include <vector>

namespace kw {

class InMemoryFilterBackend : public KeyFilterBackend {
public:
    struct Call {
        uint32_t code = 0;
        std::vector<uint8_t> input;
    };

    bool Open() override;
    void Close() override;
    bool Control(uint32_t code, std::span<const uint8_t> input) override;
    bool WaitEvent(FilterEntry& event) override;
    void Cancel() override;

    // A key of the keyboard goes down or up: reported when watched, else passed on.
    void Inject(int code, bool pressed);

    std::vector<Call> Calls() const;
    void ClearCalls();
    // The key codes of the current list.
    std::vector<int> WatchedKeys() const;
    int PassedOn() const { return passedOn_.load(); }
    bool IsOpen() const { return open_.load(); }
    void SetControlFails(bool fails) { controlFails_ = fails; }

private:
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    std::vector<int> watched_;
    FilterEventQueue queue_;
    std::atomic<bool> open_{false};
    std::atomic<bool> controlFails_{false};
    std::atomic<int> passedOn_{0};
};

} // namespace kw
