#pragma once

// The firmware of a simulated keyboard: decodes every frame of the command list of its protocol
// family and keeps what the frames set, and answers the two feature queries (slot table and
// firmware version). Not thread-safe: SimulatedKeyboard serialises access.

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

namespace kw {

// What the keyboard holds; everything a command can set.
struct SimFirmwareState {
    uint16_t version = 0x0105;

    // Family B.
    std::array<uint8_t, 28> slotTable{}; // [1..13] shortcut slot keys, [14..23] key slot keys
    struct KeySlot {
        uint8_t key = 0;
        uint8_t value = 0;
        bool operator==(const KeySlot&) const = default;
    };
    std::array<KeySlot, 11> keySlots{};                    // [1..10]
    std::map<int, std::array<uint8_t, 168>> shortcutSlots; // by slot number, the whole block
    struct LightB {
        int mode = -1; // as sent (mode − 1); -1 before any
        int brightness = 0;
        int cs = 0; // colour index × 16 + speed, as sent
        int selector = 0;
        int direction = 0;
        bool wireless = false;
        bool operator==(const LightB&) const = default;
    } light;
    struct CustomLight {
        int mode = -1;
        int brightness = 0;
        int speed = 0;
        int selector = 0;
    } customLight;
    int musicColour = 0;
    int musicLevel = 0;
    int musicReports = 0;

    // Family A.
    std::array<uint8_t, 360> keyMatrix{};
    std::map<int, std::vector<uint8_t>> macroSlots; // by slot number, payload bytes as received
    int lightModeA = -1;
    struct LightParams {
        int flags = 0;
        int red = 0;
        int green = 0;
        int blue = 0;
        int brightness = 0;
    } lightParams;
    std::array<uint8_t, 480> keyColours{};
    bool streaming = false;
    std::array<uint8_t, 360> streamFrame{};
    int streamParts = 0;

    int factoryResets = 0;
    int undecoded = 0; // frames the firmware did not understand
};

class SimFirmware {
public:
    explicit SimFirmware(int deviceType);

    bool FamilyB() const { return familyB_; }

    void OnFeatureReport(std::span<const uint8_t> report);
    void OnOutputReport(std::span<const uint8_t> report, bool secondary);
    // Fills an 8-byte feature answer (report id 7 first); returns its length.
    int Answer(std::span<uint8_t> answer);

    SimFirmwareState& State() { return state_; }
    const SimFirmwareState& State() const { return state_; }

private:
    enum class Query { None, Slots, Version };

    void FactoryReset();
    void CommitShortcutBlock();

    bool familyB_;
    SimFirmwareState state_;
    Query query_ = Query::None;
    int queryPass_ = 0;
    std::array<uint8_t, 168> block_{};
    int blockReports_ = 0; // reports of the shortcut block received so far; 0 when none is open
    bool wirelessResetArmed_ = false;
};

} // namespace kw
