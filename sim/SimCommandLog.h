#pragma once

// The reports a simulated keyboard received, decoded into the commands they carry: key and
// shortcut slots, macro slots, key matrix, lighting modes, per-key colours, light frames and music
// levels, each with the time its reports arrived. Multi-part transfers are grouped (a part at
// offset 0 starts a new transfer) and their payload put together from each part's length and
// offset, so tests can compare them byte for byte and read the pacing from the time stamps.

#include "sim/SimReport.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

namespace kw {

using SimTime = std::chrono::microseconds;

// One part of a multi-part output command.
struct SimPart {
    SimTime time{0};
    int length = 0;
    int offset = 0;
    std::vector<uint8_t> body; // every byte after the header (from byte 5, or byte 6 for slot writes)
};

struct SimTransfer {
    int slot = -1; // macro memory slot (0x8E), else -1
    std::vector<SimPart> parts;
    // The bytes the parts' lengths and offsets describe.
    std::vector<uint8_t> Payload() const;
};

struct SimKeySlot {
    SimTime time{0};
    int slot = 0;
    int key = 0;
    int value = 0;
    bool operator==(const SimKeySlot& other) const {
        return slot == other.slot && key == other.key && value == other.value;
    }
};

struct SimShortcutBlock {
    std::vector<SimTime> times; // one per report (28 when complete)
    std::array<uint8_t, 168> block{};
    bool Complete() const { return times.size() == 28; }
    int Slot() const { return block[1]; }
    int Key() const { return block[2]; }
    // The (usage, timing) pairs up to the first pair of zeros.
    std::vector<std::pair<uint8_t, uint8_t>> Pairs() const;
};

struct SimLightModeB {
    SimTime time{0};
    bool wireless = false;
    std::array<uint8_t, 5> values{}; // mode', brightness', cs', selector, direction
};

struct SimFeatureCommand {
    SimTime time{0};
    std::array<uint8_t, 8> bytes{};
};

struct SimOutputCommand {
    SimTime time{0};
    std::array<uint8_t, 65> bytes{};
};

struct SimCommandLog {
    std::vector<SimTime> slotQueries;
    std::vector<SimKeySlot> keySlots;
    std::vector<SimShortcutBlock> shortcutBlocks;
    std::vector<SimLightModeB> lightModesB;
    std::vector<SimFeatureCommand> customLights; // 07 FF FF on a family-A keyboard
    std::vector<SimFeatureCommand> musicLevels;
    std::vector<SimTransfer> slotWrites; // 0x8E: macro parts and shortcut commands
    std::vector<SimTransfer> matrixWrites;
    std::vector<SimTransfer> colourWrites;
    std::vector<SimTransfer> streamFrames; // on the streaming interface
    std::vector<SimOutputCommand> lightModesA;
    std::vector<SimOutputCommand> lightParams;
    std::vector<SimTime> streamingBegins;
    int undecoded = 0;

    // Every report's time stamp, feature commands and output commands alike, in arrival order.
    std::vector<SimTime> times;
};

// `familyB` tells how 07 FF FF is read: SetLightMode (family B) or SelectCustomLight.
SimCommandLog DecodeSimReports(const std::vector<SimReport>& reports, bool familyB);

} // namespace kw
