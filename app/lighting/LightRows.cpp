#include "app/lighting/LightRows.h"

namespace kw {

namespace {

bool DirectionPair(int deviceType) {
    return deviceType >= 200 && deviceType <= 299;
}

} // namespace

int LeftDirection(int deviceType) {
    return DirectionPair(deviceType) ? 1 : 0;
}

int RightDirection(int deviceType) {
    return DirectionPair(deviceType) ? 2 : 1;
}

bool CreateLightRows(ConfigStore& store, int profile, const DeviceDefinition& layout, int deviceType) {
    if (store.CountLightModes(profile) > 0) {
        return true;
    }
    for (const LightModeEntry& entry : layout.lightModes) {
        LightRecord row;
        row.profile = profile;
        row.name = entry.name;
        row.mode = entry.mode;
        row.config_func = entry.attribute;
        row.brightness = layout.defaultBrightness;
        row.speed = layout.defaultSpeed;
        row.direction = DirectionPair(deviceType) ? 2 : 0;
        row.colorful = 1;
        row.colorindex = 0;
        row.color_value = 255;
        if (store.AddLightMode(row) == 0) {
            return false;
        }
    }
    if (!layout.lightModes.empty()) {
        store.SetActiveLightMode(profile, layout.defaultMode);
    }
    return store.CountLightModes(profile) > 0 || layout.lightModes.empty();
}

} // namespace kw
