#pragma once

// What the product file (config.xml) and a keyboard's layout file describe.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kw {

// One keyboard model of config.xml.
struct KeyboardEntry {
    std::wstring name;
    int device_type = 0;
    std::wstring device_info; // base name of the layout file
};

// One way a model can be connected (mode 0 cable, 1 and 2 the wireless ways).
struct ModeEntry {
    std::wstring product_name;
    int device_type = 0;
    std::wstring device_info;
    int mode = 0;
    int vid = 0;
    int pid = 0;
    std::wstring desc;
    std::wstring hid_interface; // path pattern of the interface to use
    int connected = 0;          // 1 once a rescan opened an interface for this entry
    int reserved = -1;
};

// A model's identity as the HID layer looks for it.
struct KnownDevice {
    int vid = 0;
    int pid = 0;
    std::wstring product_name;
    int device_type = 0;
    int mode = 0;
    std::wstring hid_interface;
};

// One lighting mode offered by a model.
struct LightModeEntry {
    std::wstring name; // decimal id of a language text
    int mode = 0;
    int attribute = 0; // feature bits (config_func)
};

// Lighting feature bits of a mode.
enum LightFeature : int {
    kLightBrightness = 0x001,
    kLightSpeed = 0x002,
    kLightDirectionLeftRight = 0x004,
    kLightDirectionUpDown = 0x008,
    kLightFreeColour = 0x010,
    kLightColourSwatch = 0x020,
    kLightColourSetA = 0x040,
    kLightColourSetB = 0x080,
    kLightPerKey = 0x100,
    kLightMusic = 0x200,
    kLightScreen = 0x400,
    kLightAreaColours = 0x800,
};

// Page bits of a model's menu; they also select the keyboard views that receive the keys.
enum MenuFlag : int {
    kMenuCustomKey = 0x01,
    kMenuMacro = 0x02,
    kMenuLighting = 0x04,
    kMenuSettingsView = 0x40,
};

struct KeyRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const KeyRect&) const = default;
};

// One key of a layout file, as the keyboard views draw it.
struct KeyItem {
    std::wstring name;
    std::wstring desc;
    int code = 0;
    KeyRect rect;
    std::wstring icon;
};

// The key grid used by the music and screen effects: 8 rows of 32 cells, each the low byte of
// the code of the key placed there, or kEmptyCell.
constexpr int kGridRows = 8;
constexpr int kGridColumns = 32;
constexpr uint8_t kEmptyCell = 0xFF;
using KeyGrid = std::array<std::array<uint8_t, kGridColumns>, kGridRows>;

inline KeyGrid EmptyKeyGrid() {
    KeyGrid grid;
    for (auto& row : grid) {
        row.fill(kEmptyCell);
    }
    return grid;
}

// The picture of the keyboard in its page.
struct KeyboardPicture {
    int xpos = 0;
    int ypos = 0;
    int width = 0;
    int height = 0;
    std::wstring image; // "keyboard/" + the file's image name
};

// Everything one layout file gives.
struct DeviceDefinition {
    int menuFlags = 0;
    bool sleepTime = false;
    std::wstring firmwareVersion;
    std::wstring firmwareFile;
    std::wstring firmwareUrl;
    bool rgbKeyboard = false;
    int defaultMode = 0;
    int defaultBrightness = 0;
    int defaultSpeed = 0;
    int brightnessMax = 0;
    int speedMax = 0;
    std::vector<LightModeEntry> lightModes;

    bool hasPicture = false;
    KeyboardPicture picture;
    std::vector<KeyItem> keys;
    std::map<int, int> matrixIndex; // key code -> key_index, for the key matrix download
    std::map<int, int> colourIndex; // key code -> key_index, for the colour tables
    KeyGrid grid = EmptyKeyGrid();
    int rowCount = 0;
    int colCount = 0;
};

// What config.xml says about the software itself.
struct SoftwareInfo {
    std::wstring name;
    std::wstring version;
    std::wstring website;
    std::wstring store;
    std::wstring upgrade;
    std::wstring copyright;
};

} // namespace kw
