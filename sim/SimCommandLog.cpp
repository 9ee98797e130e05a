#include "sim/SimCommandLog.h"

#include <algorithm>

namespace kw {

namespace {

SimPart PartOf(const SimReport& report, size_t bodyFrom) {
    const std::vector<uint8_t>& r = report.bytes;
    SimPart part;
    part.time = report.time;
    part.length = r[2];
    part.offset = r[3] | (r[4] << 8);
    part.body.assign(r.begin() + static_cast<long>(std::min(bodyFrom, r.size())), r.end());
    return part;
}

// A part at offset 0 (or a different slot) starts a new transfer.
void AddPart(std::vector<SimTransfer>& transfers, SimPart part, int slot) {
    if (transfers.empty() || part.offset == 0 || transfers.back().slot != slot) {
        transfers.push_back(SimTransfer{slot, {}});
    }
    transfers.back().parts.push_back(std::move(part));
}

bool IsWireless(const std::vector<uint8_t>& r) {
    return r.size() >= 6 && r[1] == 0xBB && r[2] == 0xAA && r[3] == 0x99 && r[4] == 0x88;
}

} // namespace

std::vector<uint8_t> SimTransfer::Payload() const {
    std::vector<uint8_t> payload;
    for (const SimPart& part : parts) {
        const size_t end = static_cast<size_t>(part.offset + part.length);
        if (payload.size() < end) {
            payload.resize(end, 0);
        }
        for (int i = 0; i < part.length && static_cast<size_t>(i) < part.body.size(); ++i) {
            payload[static_cast<size_t>(part.offset + i)] = part.body[static_cast<size_t>(i)];
        }
    }
    return payload;
}

std::vector<std::pair<uint8_t, uint8_t>> SimShortcutBlock::Pairs() const {
    std::vector<std::pair<uint8_t, uint8_t>> pairs;
    for (size_t at = 4; at + 1 < block.size(); at += 2) {
        if (block[at] == 0 && block[at + 1] == 0) {
            break;
        }
        pairs.emplace_back(block[at], block[at + 1]);
    }
    return pairs;
}

SimCommandLog DecodeSimReports(const std::vector<SimReport>& reports, bool familyB) {
    SimCommandLog log;
    bool blockOpen = false;
    for (const SimReport& report : reports) {
        const std::vector<uint8_t>& r = report.bytes;
        if (report.kind == SimReport::Kind::FeatureRead) {
            continue;
        }
        log.times.push_back(report.time);
        if (report.kind == SimReport::Kind::Feature) {
            if (r.size() < 8 || r[0] != 7) {
                ++log.undecoded;
                continue;
            }
            SimFeatureCommand command{report.time, {}};
            std::copy_n(r.begin(), 8, command.bytes.begin());
            if (r[1] == 0x00 && blockOpen) {
                SimShortcutBlock& block = log.shortcutBlocks.back();
                std::copy_n(r.begin() + 2, 6,
                            block.block.begin() + 6 * static_cast<long>(block.times.size()));
                block.times.push_back(report.time);
                blockOpen = !block.Complete();
                continue;
            }
            blockOpen = false;
            if (r[1] == 0xF1) {
                SimShortcutBlock block;
                std::copy_n(r.begin() + 2, 6, block.block.begin());
                block.times.push_back(report.time);
                log.shortcutBlocks.push_back(block);
                blockOpen = true;
            } else if (r[1] == 0xFA && r[2] == 0x01) {
                log.keySlots.push_back({report.time, r[3], r[4], r[6]});
            } else if (r[1] == 0xFB && r[2] == 0x01) {
                log.slotQueries.push_back(report.time);
            } else if (r[1] == 0xFF && r[2] == 0xFF) {
                if (familyB) {
                    log.lightModesB.push_back({report.time, false, {r[3], r[4], r[5], r[6], r[7]}});
                } else {
                    log.customLights.push_back(command);
                }
            } else if (r[1] == 0x23 && r[2] == 0x45 && r[3] == 0x67 && r[4] == 0x89) {
                log.musicLevels.push_back(command);
            } else {
                ++log.undecoded;
            }
            continue;
        }
        if (r.size() < 65 || r[0] != 0) {
            ++log.undecoded;
            continue;
        }
        if (IsWireless(r)) {
            if (r[5] == 0xAA &&
                !std::all_of(r.begin() + 6, r.begin() + 11, [](uint8_t b) { return b == 0xAA; })) {
                log.lightModesB.push_back({report.time, true, {r[6], r[7], r[8], r[10], r[11]}});
            } else {
                ++log.undecoded;
            }
            continue;
        }
        SimOutputCommand command{report.time, {}};
        std::copy_n(r.begin(), 65, command.bytes.begin());
        if (report.secondary) {
            if (r[1] == 0xF1) {
                AddPart(log.streamFrames, PartOf(report, 5), -1);
            } else {
                ++log.undecoded;
            }
        } else if (r[1] == 0x8E) {
            AddPart(log.slotWrites, PartOf(report, 6), r[5]);
        } else if (r[1] == 0x8D) {
            AddPart(log.matrixWrites, PartOf(report, 5), -1);
        } else if (r[1] == 0x8B) {
            AddPart(log.colourWrites, PartOf(report, 5), -1);
        } else if (r[1] == 0x88 && r[2] == 0x00) {
            log.lightModesA.push_back(command);
        } else if (r[1] == 0x89 && r[2] == 0x00) {
            log.lightParams.push_back(command);
        } else if (r[1] == 0xF0 && r[2] == 0xF4 && r[3] == 0x01) {
            log.streamingBegins.push_back(report.time);
        } else {
            ++log.undecoded;
        }
    }
    return log;
}

} // namespace kw
