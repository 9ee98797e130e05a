#pragma once

// The key filter below FilterMonitor: it is told which keys to watch, holds their presses and
// releases back from the system, and reports them. Implementations: evdev (grabs the configured
// keyboard), and an in-memory one for tests and the demonstration mode.

#include <array>
#include <cstdint>
#include <span>

namespace kw {

// Filter control codes.
inline constexpr uint32_t kFilterSetKeys = 0x22A000;   // input: the key list (entries of 4 bytes)
inline constexpr uint32_t kFilterPrepare = 0x226008;   // sent after a new list
inline constexpr uint32_t kFilterActivate = 0x22600C;  // sent right after kFilterPrepare
inline constexpr uint32_t kFilterWaitEvent = 0x226044; // output: one key event

inline constexpr size_t kFilterMaxKeys = 256;
inline constexpr size_t kFilterEntrySize = 4;
// Key list entry and key event: bytes 0-1 the key code (low byte first), byte 2 the usage page
// (7), byte 3 flags (2 in a list entry; bit 0 set for a press in an event).
using FilterEntry = std::array<uint8_t, kFilterEntrySize>;

class KeyFilterBackend {
public:
    virtual ~KeyFilterBackend() = default;

    virtual bool Open() = 0;
    virtual void Close() = 0;
    // A control call without output (kFilterSetKeys, kFilterPrepare, kFilterActivate).
    virtual bool Control(uint32_t code, std::span<const uint8_t> input) = 0;
    // Waits for the next key event (kFilterWaitEvent); false when cancelled or failed.
    virtual bool WaitEvent(FilterEntry& event) = 0;
    // Ends a pending WaitEvent at once; when none is pending, the next one returns at once.
    virtual void Cancel() = 0;
};

} // namespace kw
