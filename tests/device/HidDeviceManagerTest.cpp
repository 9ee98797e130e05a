// The transport: which interfaces a scan opens, which one the transfers use, and every transfer's
// bytes, pauses, retries and failures, against the simulated keyboard.

#include "tests/device/LinkRig.h"

#include "app/device/CommandFrames.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace kw::test {
namespace {

using namespace std::chrono_literals;
using Kind = SimReport::Kind;

std::vector<uint8_t> Bytes(std::initializer_list<int> values, size_t size) {
    std::vector<uint8_t> out(size, 0);
    size_t i = 0;
    for (int v : values) {
        out[i++] = static_cast<uint8_t>(v);
    }
    return out;
}

TEST(HidDeviceManager, NoKeyboardMeansNoRecordsAndEveryTransferFails) {
    LinkRig rig;
    rig.manager.Scan();
    std::vector<DeviceRecord> records;
    EXPECT_FALSE(rig.manager.Records(records));
    rig.manager.SetCurrentType(201);
    EXPECT_FALSE(rig.manager.Current());
    EXPECT_EQ(rig.manager.ConnectionKind(), -1);
    EXPECT_FALSE(rig.manager.SendFeature(ReadVersionRequest()));
    EXPECT_FALSE(rig.manager.SendFeatureDelayed(ReadVersionRequest()));
    EXPECT_FALSE(rig.manager.WriteReport(FactoryResetA()));
    EXPECT_FALSE(rig.manager.WriteReport64(FactoryResetWirelessFirst()));
    EXPECT_FALSE(rig.manager.WriteSecondary(FactoryResetA()));
    std::array<uint8_t, 28> table{};
    EXPECT_FALSE(rig.manager.QuerySlots(table));
    int version = 0;
    EXPECT_FALSE(rig.manager.ReadVersion(version));
    EXPECT_EQ(rig.clock->Now(), 0us) << "no pause without an interface";
}

TEST(HidDeviceManager, ScanOpensOnlyVendorCollectionsOfKnownDevicesAndKeepsInterfaceThreeApart) {
    LinkRig rig;
    rig.hid->PlugIn(Cable201());
    rig.hid->PlugIn(Mode(201, 0, 0x1234, 0x5678, L"VID_1234&PID_5678&MI_02")); // not in config.xml
    rig.manager.Scan();
    std::vector<DeviceRecord> records;
    ASSERT_TRUE(rig.manager.Records(records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].path.find("&MI_02\\"), std::string::npos);
    EXPECT_EQ(records[0].deviceType, 201);
    EXPECT_EQ(records[0].mode, 0);
    EXPECT_EQ(records[0].release, 0x0100);
    EXPECT_TRUE(rig.manager.HasSecondary());
    EXPECT_TRUE(rig.manager.IsOpen());
    EXPECT_EQ(rig.manager.CurrentType(), 0);
    rig.manager.CloseAll();
    EXPECT_FALSE(rig.manager.IsOpen());
    EXPECT_FALSE(rig.manager.HasSecondary());
}

TEST(HidDeviceManager, LowerCaseInterfaceMarkerStillNamesTheSecondaryInterface) {
    LinkRig rig;
    rig.hid->Plug(rig.hid->Create(Cable201(), /*lowerCasePaths=*/true));
    rig.manager.Scan();
    std::vector<DeviceRecord> records;
    ASSERT_TRUE(rig.manager.Records(records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].path.find("&mi_02\\"), std::string::npos);
    EXPECT_TRUE(rig.manager.HasSecondary());
}

TEST(HidDeviceManager, CurrentPrefersModeZeroThenOneThenTwoWhileConnectionKindReadsZeroTwoOne) {
    struct Case {
        std::vector<ModeEntry> plugged;
        int currentMode; // -1: none
        int connectionKind;
    };
    const Case cases[] = {
        {{Bluetooth201(), Receiver201(), Cable201()}, 0, 0},
        {{Bluetooth201(), Receiver201()}, 1, 2}, // transfers on the receiver, the kind reads Bluetooth
        {{Receiver201()}, 1, 1},
        {{Bluetooth201()}, 2, 2},
        {{Cable101()}, -1, -1}, // another device type
    };
    for (const Case& c : cases) {
        LinkRig rig;
        for (const ModeEntry& entry : c.plugged) {
            rig.hid->PlugIn(entry);
        }
        rig.manager.Scan();
        rig.manager.SetCurrentType(201);
        const auto current = rig.manager.Current();
        EXPECT_EQ(current ? current->mode : -1, c.currentMode) << "plugged " << c.plugged.size();
        EXPECT_EQ(rig.manager.ConnectionKind(), c.connectionKind) << "plugged " << c.plugged.size();
    }
}

TEST(HidDeviceManager, RecordsFilterByCurrentTypeAndFindRecordMatchesIdsModeAndProductString) {
    LinkRig rig({Cable201(), Cable101(), Mode(201, 1, 0x1209, 0x0002, L"VID_1209&PID_0002", L"KW Receiver")});
    rig.hid->PlugIn(Cable201());
    rig.hid->PlugIn(Cable101());
    rig.hid->PlugIn(Mode(201, 1, 0x1209, 0x0002, L"VID_1209&PID_0002", L"KW Receiver"));
    rig.manager.Scan();
    std::vector<DeviceRecord> records;
    rig.manager.Records(records);
    EXPECT_EQ(records.size(), 3u);
    rig.manager.SetCurrentType(101);
    rig.manager.Records(records);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].pid, 0x0004);

    EXPECT_EQ(rig.manager.FindRecord(0x1209, 0x0001, L"", 0), 0);
    EXPECT_EQ(rig.manager.FindRecord(0x1209, 0x0001, L"", 1), -1);
    EXPECT_EQ(rig.manager.FindRecord(0x1209, 0x0002, L"KW Receiver", 1), 2);
    EXPECT_EQ(rig.manager.FindRecord(0x1209, 0x0002, L"Other", 1), -1);
}

TEST(HidDeviceManager, KnownProductNameMustEqualTheInterfaceProductString) {
    LinkRig rig({Mode(201, 0, 0x1209, 0x0001, L"VID_1209&PID_0001&MI_02", L"KW-104")});
    rig.hid->PlugIn(Mode(201, 0, 0x1209, 0x0001, L"VID_1209&PID_0001&MI_02", L"Something else"));
    rig.manager.Scan();
    std::vector<DeviceRecord> records;
    EXPECT_FALSE(rig.manager.Records(records));
    EXPECT_TRUE(rig.manager.IsKnown(0x1209, 0x0001, L"KW-104"));
    EXPECT_FALSE(rig.manager.IsKnown(0x1209, 0x0001, L"kw-104"));
    EXPECT_EQ(rig.manager.DeviceTypeOf(0x1209, 0x0001), 201);
    EXPECT_EQ(rig.manager.ModeOf(0x1209, 0x0009), 0);
}

TEST(HidDeviceManager, InterfaceThatVanishesBetweenEnumerationAndOpenIsSkipped) {
    LinkRig rig;
    rig.Monitor();
    auto gone = rig.hid->PlugIn(Cable201());
    gone->SetVanishOnOpen(true);
    rig.hid->PlugIn(Receiver201());
    rig.manager.Scan();
    std::vector<DeviceRecord> records;
    ASSERT_TRUE(rig.manager.Records(records));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].mode, 1);
    EXPECT_FALSE(gone->Plugged());
    EXPECT_EQ(rig.link.PendingJobs(), 2u)
        << "two arrivals; the removal of an entry never connected posts nothing";
}

TEST(HidDeviceManager, FeatureTransfersCarryTheirBytesAndPauses) {
    LinkRig rig;
    auto keyboard = rig.Connect(Cable201());
    keyboard->ClearReports();
    const auto start = rig.clock->Now();
    EXPECT_TRUE(rig.manager.SendFeature(MakeFeatureCommand(0x23, {0x45, 0x67, 0x89, 1, 200})));
    EXPECT_TRUE(rig.manager.SendFeatureDelayed(FactoryResetWired()));
    EXPECT_TRUE(rig.manager.SendFeatureDelayedEx(MakeFeatureCommand(0xFF, {0xFF, 2, 3, 4, 0, 1})));
    const auto reports = keyboard->Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].bytes, Bytes({7, 0x23, 0x45, 0x67, 0x89, 1, 200, 0}, 8));
    EXPECT_EQ(reports[0].time, start);
    EXPECT_EQ(reports[1].bytes, Bytes({7, 0xF0, 0xAA}, 8));
    EXPECT_EQ(reports[1].time - reports[0].time, 16ms);
    EXPECT_EQ(reports[2].time - reports[1].time, 16ms);
    for (const SimReport& report : reports) {
        EXPECT_EQ(report.kind, Kind::Feature);
        EXPECT_FALSE(report.secondary);
    }
}

TEST(HidDeviceManager, OutputWritesRetryOnceAfterTheirPause) {
    struct Case {
        const char* name;
        int failFrom;
        int failCount;
        bool result;
        std::chrono::milliseconds retryPause;
    };
    const Case cases[] = {
        {"WriteReport", 1, 1, true, 10ms},    {"WriteReport", 1, 2, false, 10ms},
        {"WriteReport64", 1, 1, true, 32ms},  {"WriteReport64", 1, 2, false, 32ms},
        {"WriteSecondary", 1, 1, true, 10ms}, {"WriteSecondary", 1, 2, false, 10ms},
    };
    for (const Case& c : cases) {
        LinkRig rig;
        auto keyboard = rig.Connect(Cable201());
        keyboard->ClearReports();
        keyboard->FailWrites(c.failFrom, c.failCount);
        const auto start = rig.clock->Now();
        const std::string name = c.name;
        bool result = false;
        if (name == "WriteReport") {
            result = rig.manager.WriteReport(FactoryResetA());
        } else if (name == "WriteReport64") {
            result = rig.manager.WriteReport64(FactoryResetWirelessFirst());
        } else {
            result = rig.manager.WriteSecondary(MakeOutputPart(0xF1, 60, 0, {}));
        }
        EXPECT_EQ(result, c.result) << name << " failing " << c.failCount;
        EXPECT_EQ(rig.clock->Now() - start, c.retryPause) << name;
        const auto reports = keyboard->Reports();
        ASSERT_EQ(reports.size(), c.result ? 1u : 0u) << name;
        if (c.result) {
            EXPECT_EQ(reports[0].kind, Kind::Output);
            EXPECT_EQ(reports[0].secondary, name == "WriteSecondary");
            EXPECT_EQ(reports[0].bytes.size(), 65u);
            EXPECT_EQ(reports[0].bytes[0], 0);
        }
    }
}

TEST(HidDeviceManager, WriteReport64PutsReportIdZeroBeforeItsBytes) {
    LinkRig rig;
    auto keyboard = rig.Connect(Receiver201());
    keyboard->ClearReports();
    ASSERT_TRUE(rig.manager.WriteReport64(FactoryResetWirelessFirst()));
    const auto reports = keyboard->Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].bytes, Bytes({0, 0xBB, 0xAA, 0x99, 0x88, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, 65));
}

TEST(HidDeviceManager, WriteSecondaryReportsTheRealResultAndNeedsTheSecondaryInterface) {
    LinkRig rig;
    auto keyboard = rig.Connect(Bluetooth201()); // no interface 3 over Bluetooth
    keyboard->ClearReports();
    EXPECT_FALSE(rig.manager.HasSecondary());
    EXPECT_FALSE(rig.manager.WriteSecondary(MakeOutputPart(0xF1, 60, 0, {})));
    EXPECT_TRUE(keyboard->Reports().empty()) << "no fallback to the current interface";
}

TEST(HidDeviceManager, QuerySlotsReadsFourSevenByteSlicesSixteenMillisecondsApart) {
    LinkRig rig;
    auto keyboard = rig.Connect(Cable201());
    std::array<uint8_t, 28> stored{};
    for (size_t i = 0; i < stored.size(); ++i) {
        stored[i] = static_cast<uint8_t>(0x40 + i);
    }
    keyboard->SetSlotTable(stored);
    keyboard->ClearReports();
    std::array<uint8_t, 28> table{7, 0xFB, 1};
    const auto start = rig.clock->Now();
    ASSERT_TRUE(rig.manager.QuerySlots(table));
    EXPECT_EQ(table, stored);
    const auto reports = keyboard->Reports();
    ASSERT_EQ(reports.size(), 5u);
    EXPECT_EQ(reports[0].kind, Kind::Feature);
    EXPECT_EQ(reports[0].bytes, Bytes({7, 0xFB, 1}, 8));
    EXPECT_EQ(reports[0].time, start);
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(reports[i].kind, Kind::FeatureRead);
        EXPECT_EQ(reports[i].bytes, Bytes({7}, 1));
        EXPECT_EQ(reports[i].time - reports[i - 1].time, 16ms);
    }
}

TEST(HidDeviceManager, ReadVersionSendsTheRequestAndReadsAfterSixteenMilliseconds) {
    LinkRig rig;
    auto keyboard = rig.Connect(Cable201());
    keyboard->SetVersion(0x0203);
    keyboard->ClearReports();
    const auto start = rig.clock->Now();
    int version = 0;
    ASSERT_TRUE(rig.manager.ReadVersion(version));
    EXPECT_EQ(version, 0x0203);
    const auto reports = keyboard->Reports();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].bytes, Bytes({7, 0xFD}, 8));
    EXPECT_EQ(reports[0].time - start, 16ms);
    EXPECT_EQ(reports[1].kind, Kind::FeatureRead);
    EXPECT_EQ(reports[1].time - reports[0].time, 16ms);
}

TEST(HidDeviceManager, BadFeatureAnswersNeverPassForAVersionOrSlotTable) {
    struct Case {
        const char* name;
        bool noAnswer;
        bool emptyAnswer;
        int shortAnswer;
        std::vector<uint8_t> override;
        bool versionOk;
        int version;
        int versionReads;
        bool slotsOk;
    };
    const Case cases[] = {
        {"whole answer", false, false, 0, {}, true, 0x0105, 1, true},
        {"no answer", true, false, 0, {}, false, 0, 2, false},
        {"empty answer", false, true, 0, {}, false, 0, 2, false},
        {"id only", false, false, 1, {}, false, 0, 1, true},
        {"two bytes", false, false, 2, {}, false, 0, 1, true},
        {"three bytes", false, false, 3, {}, true, 0x0105, 1, true},
        {"garbage id", false, false, 0, {0x55, 1, 2, 3, 4, 5, 6, 7}, false, 0, 2, true},
        {"garbage short", false, false, 0, {0x99}, false, 0, 2, true},
    };
    for (const Case& c : cases) {
        LinkRig rig;
        auto keyboard = rig.Connect(Cable201());
        keyboard->SetNoAnswer(c.noAnswer);
        keyboard->SetEmptyAnswer(c.emptyAnswer);
        keyboard->SetShortAnswer(c.shortAnswer);
        keyboard->SetAnswerOverride(c.override);
        keyboard->ClearReports();
        int version = 0;
        EXPECT_EQ(rig.manager.ReadVersion(version), c.versionOk) << c.name;
        if (c.versionOk) {
            EXPECT_EQ(version, c.version) << c.name;
        }
        int reads = 0;
        for (const SimReport& report : keyboard->Reports()) {
            reads += report.kind == Kind::FeatureRead;
        }
        EXPECT_EQ(reads, c.versionReads) << c.name;
        std::array<uint8_t, 28> table{7, 0xFB, 1};
        EXPECT_EQ(rig.manager.QuerySlots(table), c.slotsOk) << c.name;
    }
}

TEST(HidDeviceManager, StalledWriteFailsWithinTheBoundAndTheLinkRecovers) {
    LinkRig rig;
    rig.link.SetDeviceType(101);
    auto keyboard = rig.Connect(Cable101());
    keyboard->ClearReports();
    keyboard->StallWrites(true);
    EXPECT_FALSE(rig.manager.WriteReport(FactoryResetA()))
        << "first write times out, the retry finds it blocked";
    EXPECT_FALSE(rig.manager.SendFeature(ReadVersionRequest())) << "blocked transport fails at once";
    keyboard->StallWrites(false); // the stalled write completes late
    // Once the stalled write has returned, transfers work again.
    bool sent = false;
    for (int attempt = 0; attempt < 500 && !sent; ++attempt) {
        sent = rig.manager.SendFeature(ReadVersionRequest());
        if (!sent) {
            std::this_thread::sleep_for(10ms);
        }
    }
    EXPECT_TRUE(sent);
}

TEST(HidDeviceManager, ManagerDestroyedDuringAStalledWriteReturns) {
    LinkRig rig;
    rig.link.SetDeviceType(101);
    auto keyboard = rig.Connect(Cable101());
    keyboard->StallWrites(true);
    {
        HidDeviceManager other(rig.hid, rig.clock, 50ms);
        other.AddKnown(Known(Cable101()));
        other.Scan();
        other.SetCurrentType(101);
        EXPECT_FALSE(other.WriteReport(FactoryResetA()));
    } // the destructor cancels the blocked write instead of waiting for ever
    keyboard->StallWrites(false);
}

// A light frame's write blocks its own caller for as long as it takes; everybody else's transfers
// wait at most the bound for it, then fail at once until it returns.
TEST(HidDeviceManager, StalledStreamingWriteHoldsBackOtherTransfersOnlyForTheBound) {
    LinkRig rig;
    rig.link.SetDeviceType(101);
    auto keyboard = rig.Connect(Cable101());
    HidDeviceManager manager(rig.hid, rig.clock, 50ms);
    manager.AddKnown(Known(Cable101()));
    manager.Scan();
    manager.SetCurrentType(101);
    keyboard->ClearReports();
    keyboard->StallWrites(true);
    std::future<bool> frame =
        std::async(std::launch::async, [&] { return manager.WriteSecondary(MakeOutputCommand(0xF1, {1})); });
    EXPECT_EQ(frame.wait_for(200ms), std::future_status::timeout) << "the stalled write blocks its caller";
    EXPECT_FALSE(manager.SendFeature(ReadVersionRequest()));
    EXPECT_FALSE(manager.WriteSecondary(MakeOutputCommand(0xF1, {2})));
    keyboard->StallWrites(false);
    EXPECT_TRUE(frame.get());
    EXPECT_TRUE(manager.SendFeature(ReadVersionRequest()));
    const auto reports = keyboard->Reports();
    ASSERT_EQ(reports.size(), 2u) << "nothing reached the keyboard beside the stalled write";
    EXPECT_EQ(reports[0].bytes[2], 1);
    EXPECT_EQ(reports[1].kind, Kind::Feature);
}

TEST(HidDeviceManager, ReportsFromSeveralThreadsArriveWhole) {
    LinkRig rig;
    auto keyboard = rig.Connect(Cable201());
    keyboard->ClearReports();
    constexpr int kPerThread = 200;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                if (t == 0) {
                    rig.manager.WriteReport(MakeOutputCommand(0x88, {0, static_cast<uint8_t>(i)}));
                } else if (t == 3) { // light frames, written on their caller's thread
                    rig.manager.WriteSecondary(MakeOutputCommand(0xF1, {static_cast<uint8_t>(i)}));
                } else {
                    rig.manager.SendFeature(MakeFeatureCommand(
                        0x23, {0x45, 0x67, 0x89, static_cast<uint8_t>(t), static_cast<uint8_t>(i)}));
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const auto reports = keyboard->Reports();
    EXPECT_EQ(reports.size(), 4u * kPerThread);
    int musicReports = 0;
    for (const SimReport& report : reports) {
        EXPECT_EQ(report.bytes.size(), report.kind == Kind::Output ? 65u : 8u);
        musicReports += report.kind == Kind::Feature;
    }
    EXPECT_EQ(musicReports, 2 * kPerThread);
    EXPECT_EQ(keyboard->State().undecoded, 0);
    EXPECT_EQ(keyboard->OverlappingTransfers(), 0) << "one transfer at a time";
}

} // namespace
} // namespace kw::test
