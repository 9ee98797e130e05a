#include "sim/SimFirmware.h"

#include <algorithm>

namespace kw {

namespace {

bool IsWireless(std::span<const uint8_t> r) {
    return r.size() >= 6 && r[1] == 0xBB && r[2] == 0xAA && r[3] == 0x99 && r[4] == 0x88;
}

// Copies a multi-part payload (len at byte 2, offset at 3-4, payload from `from`) into `target`.
template <size_t N> void CopyPart(std::span<const uint8_t> r, size_t from, std::array<uint8_t, N>& target) {
    const size_t length = r[2];
    const size_t offset = r[3] | (r[4] << 8);
    for (size_t i = 0; i < length && from + i < r.size() && offset + i < N; ++i) {
        target[offset + i] = r[from + i];
    }
}

} // namespace

SimFirmware::SimFirmware(int deviceType) : familyB_(deviceType > 200 && deviceType < 300) {}

void SimFirmware::FactoryReset() {
    const uint16_t version = state_.version;
    const int resets = state_.factoryResets + 1;
    const int undecoded = state_.undecoded;
    state_ = SimFirmwareState{};
    state_.version = version;
    state_.factoryResets = resets;
    state_.undecoded = undecoded;
    blockReports_ = 0;
    wirelessResetArmed_ = false;
}

void SimFirmware::CommitShortcutBlock() {
    const int slot = block_[1];
    if (slot >= 1 && slot <= 13) {
        state_.slotTable[slot] = block_[2];
    }
    state_.shortcutSlots[slot] = block_;
    blockReports_ = 0;
}

void SimFirmware::OnFeatureReport(std::span<const uint8_t> r) {
    if (r.size() < 8 || r[0] != 7) {
        ++state_.undecoded;
        return;
    }
    const uint8_t code = r[1];
    if (code == 0x00 && blockReports_ > 0) {
        std::copy(r.begin() + 2, r.begin() + 8, block_.begin() + 6 * blockReports_);
        if (++blockReports_ == 28) {
            CommitShortcutBlock();
        }
        return;
    }
    blockReports_ = 0; // any other command abandons a shortcut block in progress
    if (code == 0xFB && r[2] == 0x01) {
        query_ = Query::Slots;
        queryPass_ = 0;
    } else if (code == 0xFD) {
        query_ = Query::Version;
    } else if (code == 0xF0 && r[2] == 0xAA) {
        FactoryReset();
    } else if (code == 0xFA && r[2] == 0x01) {
        const int slot = r[3];
        if (slot >= 1 && slot <= 10) {
            state_.slotTable[13 + slot] = r[4];
            state_.keySlots[slot] = {r[4], r[6]};
        } else {
            ++state_.undecoded;
        }
    } else if (code == 0xF1) {
        block_.fill(0);
        std::copy(r.begin() + 2, r.begin() + 8, block_.begin());
        blockReports_ = 1;
    } else if (code == 0xFF && r[2] == 0xFF) {
        if (familyB_) {
            state_.light = {r[3], r[4], r[5], r[6], r[7], false};
        } else {
            state_.customLight = {r[3], r[4], r[5], r[7]};
        }
    } else if (code == 0x23 && r[2] == 0x45 && r[3] == 0x67 && r[4] == 0x89) {
        state_.musicColour = r[5];
        state_.musicLevel = r[6];
        ++state_.musicReports;
    } else {
        ++state_.undecoded;
    }
}

void SimFirmware::OnOutputReport(std::span<const uint8_t> r, bool secondary) {
    if (r.size() < 65 || r[0] != 0) {
        ++state_.undecoded;
        return;
    }
    if (IsWireless(r)) {
        const uint8_t code = r[5];
        const bool allAA = std::all_of(r.begin() + 6, r.begin() + 11, [](uint8_t b) { return b == 0xAA; });
        if (code == 0xAA && allAA) {
            wirelessResetArmed_ = true;
        } else if (code == 0xAA) {
            state_.light = {r[6], r[7], r[8], r[10], r[11], true};
        } else if (code == 0x00 && wirelessResetArmed_) {
            FactoryReset();
        } else {
            ++state_.undecoded;
        }
        return;
    }
    const uint8_t code = r[1];
    if (secondary) {
        if (code == 0xF1) {
            CopyPart(r, 5, state_.streamFrame);
            ++state_.streamParts;
        } else {
            ++state_.undecoded;
        }
        return;
    }
    if (code == 0xFF && r[2] == 0xFE && r[3] == 0xAA && r[4] == 0xFF) {
        FactoryReset();
    } else if (code == 0x8D) {
        CopyPart(r, 5, state_.keyMatrix);
    } else if (code == 0x8E) {
        const size_t length = r[2];
        const size_t offset = r[3] | (r[4] << 8);
        std::vector<uint8_t>& slot = state_.macroSlots[r[5]];
        if (slot.size() < offset + length) {
            slot.resize(offset + length);
        }
        for (size_t i = 0; i < length && 6 + i < r.size(); ++i) {
            slot[offset + i] = r[6 + i];
        }
    } else if (code == 0x88 && r[2] == 0x00) {
        state_.lightModeA = r[3];
    } else if (code == 0x89 && r[2] == 0x00) {
        state_.lightParams = {r[3], r[4], r[5], r[6], r[7]};
    } else if (code == 0x8B) {
        CopyPart(r, 5, state_.keyColours);
    } else if (code == 0xF0 && r[2] == 0xF4 && r[3] == 0x01) {
        state_.streaming = true;
    } else {
        ++state_.undecoded;
    }
}

int SimFirmware::Answer(std::span<uint8_t> answer) {
    std::array<uint8_t, 8> bytes{7};
    if (query_ == Query::Version) {
        bytes[1] = static_cast<uint8_t>(state_.version >> 8);
        bytes[2] = static_cast<uint8_t>(state_.version & 0xFF);
    } else if (query_ == Query::Slots) {
        std::copy_n(state_.slotTable.begin() + 7 * queryPass_, 7, bytes.begin() + 1);
        queryPass_ = (queryPass_ + 1) % 4;
    }
    const size_t count = std::min(answer.size(), bytes.size());
    std::copy_n(bytes.begin(), count, answer.begin());
    return static_cast<int>(count);
}

} // namespace kw
