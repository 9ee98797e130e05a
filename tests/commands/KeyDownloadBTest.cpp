// Family-B key download (job 6) against the simulated keyboard: slot freeing, store order with the
// two counters, the shortcut block in 28 reports, macro and preset events, and the pacing.

#include "app/device/KeyDownload.h"
#include "tests/commands/CommandRig.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kw::test {
namespace {

using Pairs = std::vector<std::pair<uint8_t, uint8_t>>;

class KeyDownloadBTest : public ::testing::Test {
protected:
    void RunDownload() {
        KeyDownload download(rig.manager, *rig.clock);
        download.Register(
            rig.link, [this] { return std::make_unique<MemorySource>(source); }, matrixIndex);
        rig.RunJob(kJobDownloadKeys);
    }

    CommandRig rig{Cable201()};
    MemorySource source;
    std::map<int, int> matrixIndex;
};

TEST_F(KeyDownloadBTest, FreesUsedSlotsThenWritesFunctionsInStoreOrder) {
    std::array<uint8_t, 28> table{};
    table[2] = 0x10;      // shortcut slot 2
    table[13 + 3] = 0x11; // key slot 3
    rig.keyboard->SetSlotTable(table);
    source.AddFunction(0x04, 2, 0x1E); // key slot 1
    source.AddFunction(0x05, 7, 1);    // shortcut slot 1
    source.AddFunction(0x06, 0, 9);    // skipped
    source.AddFunction(0x07, 1, 1);    // key slot 2
    source.AddFunction(0x08, 3, 42);   // shortcut slot 2 (macro)
    source.AddFunction(0x09, 2, 0);    // key slot 3, freed: value 0
    source.AddMacro(42, 0x103, {Press('B', 10), Release('B', 120)});

    RunDownload();
    const SimCommandLog log = rig.Log();

    ASSERT_EQ(log.slotQueries.size(), 1u);
    EXPECT_EQ(log.keySlots,
              (std::vector<SimKeySlot>{{{}, 3, 0, 0}, {{}, 1, 4, 0x1E}, {{}, 2, 7, 1}, {{}, 3, 0, 0}}));
    ASSERT_EQ(log.shortcutBlocks.size(), 3u);
    std::array<uint8_t, 168> freed{};
    freed[0] = 1;
    freed[1] = 2;
    EXPECT_EQ(log.shortcutBlocks[0].block, freed);
    EXPECT_EQ(log.shortcutBlocks[1].Slot(), 1);
    EXPECT_EQ(log.shortcutBlocks[1].Key(), 5);
    EXPECT_EQ(log.shortcutBlocks[2].Slot(), 2);
    EXPECT_EQ(log.shortcutBlocks[2].Key(), 8);
    EXPECT_EQ(log.shortcutBlocks[2].block[3], 0x03); // play_times, low byte
    EXPECT_EQ(log.shortcutBlocks[2].Pairs(), (Pairs{{0x05, 0x01}, {0x05, 0x8C}}));
    for (const SimShortcutBlock& block : log.shortcutBlocks) {
        EXPECT_TRUE(block.Complete());
    }
    EXPECT_EQ(log.undecoded, 0);

    // Order: the frees come first, then the functions in store order.
    const std::vector<SimTime> order = {log.keySlots[0].time,           log.keySlots[1].time,
                                        log.shortcutBlocks[1].times[0], log.keySlots[2].time,
                                        log.shortcutBlocks[2].times[0], log.keySlots[3].time};
    EXPECT_LT(log.shortcutBlocks[0].times.back(), order.front());
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));

    const SimFirmwareState state = rig.keyboard->State();
    EXPECT_EQ(state.slotTable[1], 5);
    EXPECT_EQ(state.slotTable[2], 8);
    EXPECT_EQ(state.slotTable[13 + 1], 4);
    EXPECT_EQ(state.slotTable[13 + 3], 0);
}

TEST_F(KeyDownloadBTest, ShortcutBlockTravelsIn28ReportsByteForByte) {
    source.AddFunction(0x05, 7, 1);
    RunDownload();

    std::vector<std::vector<uint8_t>> sent;
    for (const SimReport& report : rig.keyboard->Reports()) {
        if (report.kind == SimReport::Kind::Feature && (report.bytes[1] == 0xF1 || report.bytes[1] == 0x00)) {
            sent.push_back(report.bytes);
        }
    }
    ASSERT_EQ(sent.size(), 28u);
    EXPECT_EQ(sent[0], (std::vector<uint8_t>{0x07, 0xF1, 0x01, 0x01, 0x05, 0x01, 0xE0, 0x01}));
    EXPECT_EQ(sent[1], (std::vector<uint8_t>{0x07, 0x00, 0x04, 0x01, 0x04, 0x81, 0xE0, 0x81}));
    for (size_t n = 2; n < sent.size(); ++n) {
        EXPECT_EQ(sent[n], (std::vector<uint8_t>{0x07, 0x00, 0, 0, 0, 0, 0, 0})) << "report " << n;
    }
}

struct BlockCase {
    std::string name;
    std::function<void(MemorySource&)> setUp;
    uint8_t key;
    uint8_t header3;
    Pairs pairs;
};

Pairs AlternatingPairs(int count) {
    Pairs pairs;
    for (int i = 0; i < count; ++i) {
        pairs.emplace_back(static_cast<uint8_t>(4 + i % 26), i % 2 ? 0x82 : 0x02);
    }
    return pairs;
}

TEST_F(KeyDownloadBTest, ShortcutBlockEvents) {
    const BlockCase cases[] = {
        {"macro of 90 key events and a mouse event reaches the keyboard as 82 pairs",
         [](MemorySource& s) {
             std::vector<MacroItem> items{Item(5, 1, 10)};
             for (int i = 0; i < 90; ++i) {
                 items.push_back(Item(i % 2 ? 3 : 2, 'A' + i % 26, 20));
             }
             s.AddMacro(7, 1, items);
             s.AddFunction(0x2C, 3, 7);
         },
         0x2C, 1, AlternatingPairs(82)},
        {"macro whose record is missing keeps key and play count 0 but carries its events",
         [](MemorySource& s) {
             s.items[8] = {Press('Z', 3200), Release('Z', 0)};
             s.AddFunction(0x2C, 3, 8);
         },
         0, 0, Pairs{{29, 0x63}, {29, 0x81}}},
        {"preset 13 holds Alt and Space around X", [](MemorySource& s) { s.AddFunction(0x2C, 7, 13); }, 0x2C,
         1, Pairs{{0xE2, 0x01}, {0x2C, 0x01}, {0x1B, 0x01}, {0x1B, 0x81}, {0x2C, 0x81}, {0xE2, 0x81}}},
        {"preset 15 is Alt+F4", [](MemorySource& s) { s.AddFunction(0x2C, 7, 15); }, 0x2C, 1,
         Pairs{{0xE2, 0x01}, {0x3D, 0x01}, {0x3D, 0x81}, {0xE2, 0x81}}},
        {"an unknown preset has no events", [](MemorySource& s) { s.AddFunction(0x2C, 7, 16); }, 0x2C, 1,
         Pairs{}},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        source = MemorySource{};
        c.setUp(source);
        rig.keyboard->SetSlotTable({}); // nothing to free
        rig.keyboard->ClearReports();
        RunDownload();
        const SimCommandLog log = rig.Log();
        ASSERT_EQ(log.shortcutBlocks.size(), 1u);
        const SimShortcutBlock& block = log.shortcutBlocks[0];
        EXPECT_EQ(block.Slot(), 1);
        EXPECT_EQ(block.Key(), c.key);
        EXPECT_EQ(block.block[3], c.header3);
        EXPECT_EQ(block.Pairs(), c.pairs);
    }
}

TEST_F(KeyDownloadBTest, EveryFeatureCommandWaits16MsAndEachSlotCommand16MsMore) {
    std::array<uint8_t, 28> table{};
    table[1] = 0x10;
    table[13 + 1] = 0x11;
    rig.keyboard->SetSlotTable(table);
    source.AddFunction(0x04, 2, 0x1E);
    source.AddFunction(0x05, 7, 2);
    RunDownload();

    const SimCommandLog log = rig.Log();
    std::vector<SimTime> sent = log.times;
    ASSERT_GE(sent.size(), 2u);
    for (size_t i = 1; i < sent.size(); ++i) {
        EXPECT_GE(Ms(sent[i] - sent[i - 1]), 16) << "report " << i;
    }
    for (const SimShortcutBlock& block : log.shortcutBlocks) {
        for (size_t i = 1; i < block.times.size(); ++i) {
            EXPECT_EQ(Ms(block.times[i] - block.times[i - 1]), 16);
        }
    }
    // The key slot of the profile follows the freed shortcut block's last report by 32 ms.
    ASSERT_EQ(log.keySlots.size(), 2u);
    EXPECT_EQ(Ms(log.keySlots[1].time - log.keySlots[0].time), 32);
    EXPECT_EQ(Ms(log.shortcutBlocks[1].times[0] - log.keySlots[1].time), 32);
}

TEST(KeyDownloadNone, DeviceTypesOf300AndAboveGetNothing) {
    CommandRig rig(Cable301());
    MemorySource source;
    source.AddFunction(0x04, 2, 0x1E);
    source.AddFunction(0x05, 7, 1);
    std::map<int, int> matrixIndex{{4, 0}, {5, 1}};
    KeyDownload download(rig.manager, *rig.clock);
    download.Register(
        rig.link, [&] { return std::make_unique<MemorySource>(source); }, matrixIndex);
    rig.RunJob(kJobDownloadKeys);
    EXPECT_TRUE(rig.keyboard->Reports().empty());
    EXPECT_EQ(rig.window.Count("close-wait"), 1);
}

} // namespace
} // namespace kw::test
