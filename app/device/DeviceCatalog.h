#pragma once

// The keyboard models the program serves (config.xml) and the description of the current model
// (its layout file). Loading reports its effects on the windows through a DeviceCatalogView.

#include "app/device/DeviceCatalogView.h"
#include "app/device/ProductTypes.h"

#include <filesystem>
#include <vector>

namespace kw {

class DeviceCatalog {
public:
    // `productFolder` holds config.xml and the layouts folder.
    DeviceCatalog(std::filesystem::path productFolder, DeviceCatalogView& view);

    // Reads config.xml (lists cleared first), then loads the layout of device type 201 and
    // registers for device notifications. A missing or broken file leaves the lists empty.
    void LoadProductDescription();

    // Makes `deviceType` current: picks the first model of that type, reopens its store and
    // reads its layout file. A missing or unreadable layout file changes nothing but the
    // current device type, the store and the firmware address.
    void LoadDeviceDefinition(int deviceType);

    const std::vector<KeyboardEntry>& Keyboards() const { return keyboards_; }
    const std::vector<ModeEntry>& Modes() const { return modes_; }
    std::vector<ModeEntry>& Modes() { return modes_; }
    const std::vector<KnownDevice>& KnownDevices() const { return knownDevices_; }
    const SoftwareInfo& Software() const { return software_; }

    int CurrentDeviceType() const { return deviceType_; }
    const KeyboardEntry& CurrentKeyboard() const { return keyboard_; }
    const DeviceDefinition& Definition() const { return definition_; }

    std::filesystem::path LayoutPath(const std::wstring& deviceInfo) const;

    // The product's name from config.xml (config/software/name), read on its own at start-up.
    // Empty when the file, the element or the attribute is missing.
    static std::wstring ReadSoftwareName(const std::filesystem::path& configFile);

    // Views that receive the keys of a layout file, as menu bits.
    static constexpr int kViewBits[] = {kMenuCustomKey, kMenuLighting, kMenuSettingsView};

private:
    void ReadDeviceInfo(class XmlDocument& doc);

    std::filesystem::path productFolder_;
    DeviceCatalogView& view_;
    std::vector<KeyboardEntry> keyboards_;
    std::vector<ModeEntry> modes_;
    std::vector<KnownDevice> knownDevices_;
    SoftwareInfo software_;
    int deviceType_ = 0;
    KeyboardEntry keyboard_;
    DeviceDefinition definition_;
};

} // namespace kw
