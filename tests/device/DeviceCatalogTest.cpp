#include "app/device/DeviceCatalog.h"

#include "tests/device/RecordingCatalogView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace kw {
namespace {

using test::RecordingCatalogView;
using test::TempDir;
using test::WriteFile;

constexpr const char* kConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<config>
  <device.info>
    <keyboard name="Board B" device_type="201" device_info="board_b">
      <mode value="0" desc="Cable" vid="0x1209" pid="0x0001" hid_interface="VID_1209&amp;PID_0001&amp;MI_02"/>
      <mode value="2" desc="BLE" vid="1209" pid="00A3" product_name="BT"/>
    </keyboard>
    <keyboard name="Board A" device_type="101" device_info="board_a">
      <mode value="0" vid="0X1209" pid="4"/>
    </keyboard>
    <keyboard name="Board B twin" device_type="201" device_info="twin"/>
  </device.info>
  <software name="Prod" version="1.2">
    <website url="http://w"/><store url="http://s"/><upgrade url="http://u"/><copyright info="(c) us"/>
  </software>
</config>)";

constexpr const char* kLayoutB = R"(<device.info>
  <menu macro="1" light_mode="0"/>
  <function sleep_time="1"/>
  <firmware version="1.00" file="fw.bin" url="http://fw"/>
  <light rgb_keyboard="1" default_mode="2" default_brightness="4" default_speed="3" brightness_max="4" speed_max="5">
    <info name="1001" mode="1" attribute="49"/>
    <info name="1007" mode="6" attribute="512"/>
  </light>
  <Keyboard xpos="10" ypos="150" width="900" height="300" image="b.png" row_count="6" col_count="22">
    <KeyItems>
      <key code="0x29" name="Esc" desc="Escape" key_index="0" row_col="0#0" rect="10#20#30#40"/>
      <key code="3A" name="F1" key_index="1" row_col="0#2" rect="60#20#30#40"/>
    </KeyItems>
  </Keyboard>
</device.info>)";

class DeviceCatalogTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordingCatalogView view;

    void Write(const std::string& relative, const std::string& text) { WriteFile(dir / relative, text); }
    DeviceCatalog Catalog() { return DeviceCatalog(dir.path(), view); }
};

TEST_F(DeviceCatalogTest, ReadsModelsModesAndSoftware) {
    Write("config.xml", kConfig);
    Write("layouts/board_b.xml", kLayoutB);
    DeviceCatalog catalog = Catalog();
    catalog.LoadProductDescription();

    ASSERT_EQ(catalog.Keyboards().size(), 3u);
    EXPECT_EQ(catalog.Keyboards()[1].name, L"Board A");
    EXPECT_EQ(catalog.Keyboards()[1].device_type, 101);
    ASSERT_EQ(catalog.Modes().size(), 3u);
    const ModeEntry& ble = catalog.Modes()[1];
    EXPECT_EQ(ble.mode, 2);
    EXPECT_EQ(ble.vid, 0x1209);
    EXPECT_EQ(ble.pid, 0xA3);
    EXPECT_EQ(ble.product_name, L"BT");
    EXPECT_EQ(ble.device_type, 201);
    EXPECT_EQ(ble.device_info, L"board_b");
    EXPECT_EQ(ble.connected, 0);
    EXPECT_EQ(ble.reserved, -1);
    EXPECT_EQ(catalog.Modes()[2].vid, 0x1209) << "an upper-case 0X prefix is hexadecimal too";
    EXPECT_EQ(catalog.Modes()[2].pid, 4);
    EXPECT_EQ(catalog.Modes()[0].hid_interface, L"VID_1209&PID_0001&MI_02");
    ASSERT_EQ(catalog.KnownDevices().size(), 3u);
    EXPECT_EQ(catalog.KnownDevices()[2].device_type, 101);

    EXPECT_EQ(catalog.Software().version, L"1.2");
    EXPECT_EQ(catalog.Software().website, L"http://w");
    EXPECT_EQ(catalog.Software().store, L"http://s");
    EXPECT_EQ(catalog.Software().upgrade, L"http://u");
    EXPECT_EQ(catalog.Software().copyright, L"(c) us");

    // The first model of type 201 wins; the notifications are registered last.
    EXPECT_EQ(catalog.CurrentKeyboard().name, L"Board B");
    EXPECT_EQ(catalog.CurrentDeviceType(), 201);
    const std::vector<std::string> head(view.calls.begin(), view.calls.begin() + 6);
    EXPECT_EQ(head, (std::vector<std::string>{"AddDevice Board B 201", "AddDevice Board A 101",
                                              "AddDevice Board B twin 201", "Version Ver: 1.2",
                                              "Copyright (c) us", "Store Board B 201"}));
    EXPECT_EQ(view.calls.back(), "Register");
}

TEST_F(DeviceCatalogTest, SoftwareBeforeDeviceInfoIsNotSeen) {
    Write("config.xml", R"(<config><software name="Early" version="9"/>
        <device.info><keyboard name="K" device_type="201" device_info="k"/></device.info></config>)");
    DeviceCatalog catalog = Catalog();
    catalog.LoadProductDescription();
    EXPECT_EQ(catalog.Keyboards().size(), 1u);
    EXPECT_EQ(catalog.Software().version, L"");
    EXPECT_EQ(view.Count("Version"), 0);
    // The start-up reads the name on its own, from the first software element.
    EXPECT_EQ(DeviceCatalog::ReadSoftwareName(dir / "config.xml"), L"Early");
}

TEST_F(DeviceCatalogTest, MissingOrBrokenConfigLeavesEmptyListsAndStillLoadsAndRegisters) {
    for (const char* config :
         {static_cast<const char*>(nullptr), "<config><device.info><keyboard", "not xml"}) {
        if (config) {
            Write("config.xml", config);
        }
        view.calls.clear();
        DeviceCatalog catalog = Catalog();
        catalog.LoadProductDescription();
        EXPECT_TRUE(catalog.Modes().empty());
        EXPECT_EQ(catalog.CurrentDeviceType(), 201);
        EXPECT_EQ(view.calls, (std::vector<std::string>{"Store  201", "Register"}));
    }
    EXPECT_EQ(DeviceCatalog::ReadSoftwareName(dir / "missing.xml"), L"");
}

TEST_F(DeviceCatalogTest, LayoutCapabilitiesReachTheWindows) {
    Write("config.xml", kConfig);
    Write("layouts/board_b.xml", kLayoutB);
    DeviceCatalog catalog = Catalog();
    catalog.LoadProductDescription();
    const DeviceDefinition& d = catalog.Definition();
    EXPECT_EQ(d.menuFlags, 0x43);
    EXPECT_TRUE(view.Has("Tab 1 shown"));
    EXPECT_TRUE(view.Has("Tab 2 shown"));
    EXPECT_TRUE(view.Has("Tab 3 hidden"));
    EXPECT_TRUE(d.sleepTime);
    EXPECT_EQ(d.firmwareUrl, L"http://fw");
    EXPECT_TRUE(view.Has("Firmware shown"));
    EXPECT_TRUE(d.rgbKeyboard);
    EXPECT_EQ(d.defaultMode, 2);
    EXPECT_TRUE(view.Has("Sliders 4 5"));
    ASSERT_EQ(d.lightModes.size(), 2u);
    EXPECT_EQ(d.lightModes[1].name, L"1007");
    EXPECT_EQ(d.lightModes[1].attribute, 0x200);
    // Keys go to the views the menu selects: the key page's (0x01) and the settings page's (0x40).
    EXPECT_EQ(view.Count("Key 1 "), 2);
    EXPECT_EQ(view.Count("Key 64 "), 2);
    EXPECT_EQ(view.Count("Key 4 "), 0);
    EXPECT_TRUE(view.Has("Picture 1 keyboard/b.png 10,150 900x300"));
    EXPECT_EQ(d.matrixIndex.at(0x3A), 1);
    EXPECT_EQ(d.colourIndex.at(0x29), 0);
    EXPECT_EQ(d.grid[0][2], 0x3A);
    EXPECT_EQ(d.rowCount, 6);
    EXPECT_EQ(d.colCount, 22);
}

TEST_F(DeviceCatalogTest, SecondLayoutLeavesNothingOfTheFirst) {
    Write("config.xml", kConfig);
    Write("layouts/board_b.xml", kLayoutB);
    Write("layouts/board_a.xml", R"(<device.info><menu macro="0" light_mode="1"/>
      <Keyboard row_count="1" col_count="3"><KeyItems>
        <key code="4" name="A" key_index="7" row_col="0#1" rect="1#2#3#4"/>
      </KeyItems></Keyboard></device.info>)");
    DeviceCatalog catalog = Catalog();
    catalog.LoadProductDescription();
    view.calls.clear();
    catalog.LoadDeviceDefinition(101);

    const DeviceDefinition& d = catalog.Definition();
    EXPECT_EQ(d.menuFlags, 0x45);
    EXPECT_TRUE(view.Has("Clear 1") && view.Has("Clear 4") && view.Has("Clear 64"));
    EXPECT_EQ(d.keys.size(), 1u);
    EXPECT_EQ(d.matrixIndex, (std::map<int, int>{{4, 7}}));
    EXPECT_EQ(d.colourIndex, (std::map<int, int>{{4, 7}}));
    int filled = 0;
    for (const auto& row : d.grid) {
        for (uint8_t cell : row) {
            filled += cell != kEmptyCell ? 1 : 0;
        }
    }
    EXPECT_EQ(filled, 1);
    EXPECT_EQ(d.grid[0][1], 4);
    EXPECT_EQ(d.firmwareUrl, L"") << "the firmware address is cleared when the file has none";
    EXPECT_EQ(view.Count("Firmware"), 0);
}

TEST_F(DeviceCatalogTest, LayoutWithoutMenuKeepsThePreviousPages) {
    Write("config.xml", kConfig);
    Write("layouts/board_b.xml", kLayoutB);
    Write("layouts/board_a.xml", "<device.info><firmware version=\"2\" file=\"\"/></device.info>");
    DeviceCatalog catalog = Catalog();
    catalog.LoadProductDescription();
    view.calls.clear();
    catalog.LoadDeviceDefinition(101);
    EXPECT_EQ(catalog.Definition().menuFlags, 0x43);
    EXPECT_EQ(view.Count("Tab"), 0);
    EXPECT_TRUE(view.Has("Firmware hidden")) << "a version without a file hides the firmware button";
}

TEST_F(DeviceCatalogTest, MissingLayoutChangesOnlyTypeStoreAndFirmwareAddress) {
    Write("config.xml", kConfig);
    Write("layouts/board_b.xml", kLayoutB);
    DeviceCatalog catalog = Catalog();
    catalog.LoadProductDescription();
    view.calls.clear();
    catalog.LoadDeviceDefinition(101); // board_a.xml does not exist
    EXPECT_EQ(catalog.CurrentDeviceType(), 101);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"Store Board A 101"}));
    EXPECT_EQ(catalog.Definition().firmwareUrl, L"");
    EXPECT_EQ(catalog.Definition().keys.size(), 2u);
    EXPECT_EQ(catalog.Definition().lightModes.size(), 2u);
}

TEST_F(DeviceCatalogTest, ElementsAreSearchedForwardOnly) {
    Write("config.xml", kConfig);
    // `light` stands before `menu`: once `menu` is found, `light` is behind the cursor.
    Write("layouts/board_b.xml", R"(<device.info>
      <light brightness_max="9"><info name="1" mode="1" attribute="1"/></light>
      <menu macro="1" light_mode="1"/>
    </device.info>)");
    DeviceCatalog catalog = Catalog();
    catalog.LoadProductDescription();
    EXPECT_EQ(catalog.Definition().menuFlags, 0x47);
    EXPECT_TRUE(catalog.Definition().lightModes.empty());
    EXPECT_EQ(view.Count("Sliders"), 0);
}

TEST_F(DeviceCatalogTest, BrokenLayoutCountsAsMissing) {
    Write("config.xml", kConfig);
    Write("layouts/board_b.xml", kLayoutB);
    DeviceCatalog catalog = Catalog();
    catalog.LoadProductDescription();
    Write("layouts/board_b.xml", "<device.info><menu/><Keyboard><KeyItems><key code=\"4\"/>");
    view.calls.clear();
    catalog.LoadDeviceDefinition(201);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"Store Board B 201"}));
    EXPECT_EQ(catalog.Definition().keys.size(), 2u);
}

TEST_F(DeviceCatalogTest, UnknownDeviceTypeLeavesNameAndLayoutEmpty) {
    Write("config.xml", kConfig);
    DeviceCatalog catalog = Catalog();
    catalog.LoadProductDescription();
    view.calls.clear();
    catalog.LoadDeviceDefinition(555);
    EXPECT_EQ(catalog.CurrentKeyboard().name, L"");
    EXPECT_EQ(catalog.CurrentDeviceType(), 555);
    EXPECT_TRUE(view.Has("Store  555"));
}

} // namespace
} // namespace kw
