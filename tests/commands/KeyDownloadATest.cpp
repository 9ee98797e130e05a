// Family-A key download (job 6) against the simulated keyboard: macro slot payloads and their
// parts, preset shortcuts, the key matrix, abandonment on a failed part, and the pacing.

#include "app/device/KeyDownload.h"
#include "app/device/StoreDownloadSource.h"
#include "tests/commands/CommandRig.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace kw::test {
namespace {

using Bytes = std::vector<uint8_t>;

class KeyDownloadATest : public ::testing::Test {
protected:
    bool RunDownload() {
        return KeyDownload(rig.manager, *rig.clock).Run(rig.link.DeviceType(), source, matrixIndex);
    }

    CommandRig rig{Cable101()};
    MemorySource source;
    // key code -> key index; 0x09 sits beyond the matrix, 0x0A is not on the layout.
    std::map<int, int> matrixIndex{{4, 0}, {5, 1}, {6, 2}, {7, 3}, {8, 179}, {9, 180}};
};

struct PayloadCase {
    std::string name;
    int playTimes;
    std::vector<MacroItem> items;
    Bytes payload; // as the parts' lengths and offsets put it together
};

TEST_F(KeyDownloadATest, MacroSlotPayloads) {
    const PayloadCase cases[] = {
        {"press and release with their delay bits",
         2,
         {Press('A', 0x1234), Release('A', 0x1234)},
         {2, 2, 0x04, 0x34, 0x92, 0x04, 0xB4, 0x12, 0}},
        {"a mouse event is counted but not encoded",
         1,
         {Press('B', 10), Item(5, 1, 50), Release('B', 20)},
         {1, 3, 0x05, 10, 0x80, 0x05, 20 | 0x80, 0, 0, 0, 0, 0}},
        {"play count 0 is played once", 0, {Press('C', 0)}, {1, 1, 0x06, 0, 0x80, 0}},
        {"a negative play count is played once", -3, {Press('C', 0)}, {1, 1, 0x06, 0, 0x80, 0}},
        {"play count above 255 is limited", 300, {Release('C', 0)}, {255, 1, 0x06, 0x80, 0, 0}},
        {"a delay beyond 15 bits keeps the mark bits apart",
         1,
         {Press('D', 70000), Release('D', -4)},
         {1, 2, 0x07, 0xFF, 0xFF, 0x07, 0x80, 0x00, 0}},
        {"a macro without events", 1, {}, {1, 0, 0}},
    };
    for (const PayloadCase& c : cases) {
        SCOPED_TRACE(c.name);
        source = MemorySource{};
        source.AddMacro(11, c.playTimes, c.items);
        source.AddFunction(0x04, 3, 11);
        rig.keyboard->ClearReports();
        ASSERT_TRUE(RunDownload());
        const SimCommandLog log = rig.Log();
        ASSERT_EQ(log.slotWrites.size(), 1u);
        EXPECT_EQ(log.slotWrites[0].slot, 0);
        EXPECT_EQ(log.slotWrites[0].Payload(), c.payload);
    }
}

TEST_F(KeyDownloadATest, PayloadOfAnExactMultipleOf59EndsWithAnEmptyPart) {
    std::vector<MacroItem> items;
    for (int i = 0; i < 58; ++i) { // 3 + 3 × 58 = 177 = 3 × 59
        items.push_back(Item(i % 2 ? 3 : 2, 'A' + i % 26, i));
    }
    source.AddMacro(11, 1, items);
    source.AddFunction(0x04, 3, 11);
    ASSERT_TRUE(RunDownload());

    const SimCommandLog log = rig.Log();
    ASSERT_EQ(log.slotWrites.size(), 1u);
    const std::vector<SimPart>& parts = log.slotWrites[0].parts;
    ASSERT_EQ(parts.size(), 4u);
    const int lengths[] = {59, 59, 59, 0};
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].length, lengths[i]);
        EXPECT_EQ(parts[i].offset, static_cast<int>(59 * i));
        if (i > 0) {
            EXPECT_EQ(Ms(parts[i].time - parts[i - 1].time), 100) << "part " << i;
        }
    }
    const Bytes payload = log.slotWrites[0].Payload();
    ASSERT_EQ(payload.size(), 177u);
    EXPECT_EQ(payload[1], 58);
    // The last event (item 57, a release of 'F' after 57 ms) ends at byte 2 + 3 × 58 − 1.
    EXPECT_EQ(Bytes(payload.begin() + 173, payload.begin() + 176), (Bytes{0x09, 57 | 0x80, 0x00}));
    EXPECT_EQ(payload[176], 0);
}

TEST_F(KeyDownloadATest, PresetShortcutsAreOneCommandEach) {
    source.AddFunction(0x04, 7, 1);
    source.AddFunction(0x05, 7, 14);
    source.AddFunction(0x06, 7, 0);
    ASSERT_TRUE(RunDownload());

    std::vector<Bytes> sent;
    for (const SimReport& report : rig.keyboard->Reports()) {
        if (report.bytes[1] == 0x8E) {
            sent.emplace_back(report.bytes.begin(), report.bytes.begin() + 26);
        }
    }
    const std::vector<Bytes> expected = {
        {0x00, 0x8E, 12,   0,    0,    0,    1,    4, 0xE0, 0x64, 0x80, 0x04, 0x64,
         0x80, 0x04, 0x64, 0x00, 0xE0, 0x64, 0x00, 0, 0,    0,    0,    0,    0},
        {0x00, 0x8E, 18,   0,    0,    1,    1,    6,    0xE2, 0x64, 0x80, 0x2C, 0x64,
         0x80, 0x11, 0x64, 0x80, 0x11, 0x64, 0x00, 0x2C, 0x64, 0x00, 0xE2, 0x64, 0x00},
        {0x00, 0x8E, 12, 0, 0, 2, 1, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    EXPECT_EQ(sent, expected);
}

TEST_F(KeyDownloadATest, KeyMatrixFromTheFunctions) {
    source.AddMacro(11, 1, {Press('A', 5)});
    source.AddFunction(0x04, 2, 0);    // index 0: (0, 0x20)
    source.AddFunction(0x05, 7, 3);    // index 1: slot 1 (after the macro)
    source.AddFunction(0x06, 3, 11);   // index 2: slot 0
    source.AddFunction(0x07, 1, 1);    // index 3: (0, 0x20)
    source.AddFunction(0x08, 2, 0x1E); // index 179: (0x1E, 0x20), not among the bytes sent
    source.AddFunction(0x09, 2, 0x1F); // index 180: skipped
    source.AddFunction(0x0A, 2, 0x20); // not on the layout: skipped
    ASSERT_TRUE(RunDownload());

    const SimCommandLog log = rig.Log();
    ASSERT_EQ(log.matrixWrites.size(), 1u);
    const std::vector<SimPart>& parts = log.matrixWrites[0].parts;
    ASSERT_EQ(parts.size(), 4u);
    Bytes matrix(240, 0);
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].offset, static_cast<int>(60 * i));
        EXPECT_EQ(parts[i].length, i < 3 ? 60 : 40);
        std::copy_n(parts[i].body.begin(), 60, matrix.begin() + static_cast<long>(60 * i));
        if (i > 0) {
            EXPECT_EQ(Ms(parts[i].time - parts[i - 1].time), 10);
        }
    }
    Bytes expected(240, 0);
    const Bytes head = {0x00, 0x20, 1, 0x40, 0, 0x40, 0x00, 0x20};
    std::copy(head.begin(), head.end(), expected.begin());
    EXPECT_EQ(matrix, expected);
    // The matrix follows the last slot command by 20 ms and its own 10 ms.
    ASSERT_EQ(log.slotWrites.size(), 2u);
    EXPECT_EQ(Ms(parts[0].time - log.slotWrites[1].parts[0].time), 30);
    EXPECT_EQ(rig.keyboard->State().keyMatrix[2 * 179], 0); // beyond the bytes sent
}

TEST_F(KeyDownloadATest, SlotPacing) {
    source.AddMacro(11, 1, std::vector<MacroItem>(30, Press('A', 1))); // 93 bytes: 2 parts
    source.AddFunction(0x04, 3, 11);
    source.AddFunction(0x05, 7, 1);
    const long long start = rig.NowMs();
    ASSERT_TRUE(RunDownload());

    const SimCommandLog log = rig.Log();
    ASSERT_EQ(log.slotWrites.size(), 2u);
    const std::vector<SimPart>& macro = log.slotWrites[0].parts;
    ASSERT_EQ(macro.size(), 2u);
    EXPECT_EQ(Ms(macro[0].time) - start, 110); // 10 ms before the slot, 100 ms before its part
    EXPECT_EQ(Ms(macro[1].time - macro[0].time), 100);
    EXPECT_EQ(Ms(log.slotWrites[1].parts[0].time - macro[1].time), 10);
}

TEST_F(KeyDownloadATest, AFailedMacroPartAbandonsTheRest) {
    source.AddMacro(11, 1, std::vector<MacroItem>(30, Press('A', 1))); // 2 parts
    source.AddMacro(12, 1, {Press('B', 1)});
    source.AddFunction(0x04, 3, 11);
    source.AddFunction(0x05, 3, 12);
    source.AddFunction(0x06, 7, 1);
    rig.keyboard->FailWrites(2, 2); // the second part and its retry
    EXPECT_FALSE(RunDownload());

    const SimCommandLog log = rig.Log();
    ASSERT_EQ(log.slotWrites.size(), 1u);
    EXPECT_EQ(log.slotWrites[0].parts.size(), 1u); // the part that arrived stays
    EXPECT_TRUE(log.matrixWrites.empty());
    EXPECT_EQ(rig.keyboard->Reports().size(), 1u); // nothing after the failed part and its retry
}

TEST_F(KeyDownloadATest, ReadsTheStoreInRowAndRecordOrder) {
    TempDir dir;
    ConfigStore store;
    ASSERT_TRUE(store.OpenStore(dir.path(), L"K1"));
    const int profile = store.AddProfile(ProfileRecord{0, L"P", L"", 0, 0});
    const int macro = store.AddMacro(L"M");
    ASSERT_NE(macro, 0);
    MacroItem second = Release('A', 20), first = Press('A', 10);
    second.macro_id = first.macro_id = macro;
    second.record_index = 2;
    first.record_index = 1;
    ASSERT_NE(store.AddMacroItem(second), 0); // stored out of order
    ASSERT_NE(store.AddMacroItem(first), 0);
    for (const auto& [code, type, value] : {std::tuple{0x07, 7, 2}, {0x05, 3, macro}, {0x06, 3, macro}}) {
        KeyFunction function;
        function.profile = profile;
        function.key_code = code;
        function.macro_type = type;
        function.macro_value = value;
        ASSERT_NE(store.SetKeyFunction(function), 0);
    }
    KeyFunction otherLayer;
    otherLayer.profile = profile;
    otherLayer.fn_layer = 1;
    otherLayer.key_code = 0x04;
    otherLayer.macro_type = 2;
    otherLayer.macro_value = 9;
    ASSERT_NE(store.SetKeyFunction(otherLayer), 0);

    StoreDownloadSource reader(store, profile, 0, [](int vk) { return vk - 61; });
    ASSERT_TRUE(KeyDownload(rig.manager, *rig.clock).Run(101, reader, matrixIndex));

    const SimCommandLog log = rig.Log();
    ASSERT_EQ(log.slotWrites.size(), 3u);
    // Macros first in row order (keys 5 and 6 get slots 0 and 1), then the preset of key 7.
    EXPECT_EQ(log.slotWrites[0].Payload(), (Bytes{1, 2, 0x04, 10, 0x80, 0x04, 20 | 0x80, 0, 0}));
    EXPECT_EQ(log.slotWrites[2].slot, 2);
    ASSERT_EQ(log.matrixWrites.size(), 1u);
    const Bytes matrix = log.matrixWrites[0].Payload();
    EXPECT_EQ(Bytes(matrix.begin(), matrix.begin() + 8), (Bytes{0, 0, 0, 0x40, 1, 0x40, 2, 0x40}));
}

} // namespace
} // namespace kw::test
