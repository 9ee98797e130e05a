#include "app/device/DeviceCatalog.h"

#include "app/device/AttributeNumbers.h"
#include "app/device/LayoutReader.h"
#include "app/store/XmlDocument.h"

namespace kw {

DeviceCatalog::DeviceCatalog(std::filesystem::path productFolder, DeviceCatalogView& view)
    : productFolder_(std::move(productFolder)), view_(view) {}

std::filesystem::path DeviceCatalog::LayoutPath(const std::wstring& deviceInfo) const {
    return productFolder_ / "layouts" / (deviceInfo + L".xml");
}

std::wstring DeviceCatalog::ReadSoftwareName(const std::filesystem::path& configFile) {
    XmlDocument doc;
    if (!doc.Load(configFile)) {
        return {};
    }
    if (doc.FindElem(L"config") && doc.IntoElem() && doc.FindElem(L"software")) {
        return doc.GetAttrib(L"name");
    }
    return {};
}

void DeviceCatalog::LoadProductDescription() {
    keyboards_.clear();
    modes_.clear();
    knownDevices_.clear();
    software_ = SoftwareInfo{};

    XmlDocument doc;
    if (doc.Load(productFolder_ / "config.xml") && doc.IsWellFormed() && doc.FindElem(L"config")) {
        doc.IntoElem();
        if (doc.FindElem(L"device.info")) {
            doc.IntoElem();
            while (doc.FindElem(L"keyboard")) {
                KeyboardEntry keyboard{doc.GetAttrib(L"name"), ParseDecimal(doc.GetAttrib(L"device_type")),
                                       doc.GetAttrib(L"device_info")};
                keyboards_.push_back(keyboard);
                view_.AddDevice(keyboard.name, keyboard.device_type);
                doc.IntoElem();
                while (doc.FindElem(L"mode")) {
                    ModeEntry mode;
                    mode.product_name = doc.GetAttrib(L"product_name");
                    mode.device_type = keyboard.device_type;
                    mode.device_info = keyboard.device_info;
                    mode.mode = ParseDecimal(doc.GetAttrib(L"value"));
                    mode.vid = ParseHex(doc.GetAttrib(L"vid"));
                    mode.pid = ParseHex(doc.GetAttrib(L"pid"));
                    mode.desc = doc.GetAttrib(L"desc");
                    mode.hid_interface = doc.GetAttrib(L"hid_interface");
                    modes_.push_back(mode);
                    knownDevices_.push_back(KnownDevice{mode.vid, mode.pid, mode.product_name,
                                                        mode.device_type, mode.mode, mode.hid_interface});
                }
                doc.OutOfElem();
            }
            doc.OutOfElem();
        }
        // Searched forward from device.info: a software element written before it is not seen.
        if (doc.FindElem(L"software")) {
            software_.name = doc.GetAttrib(L"name");
            software_.version = doc.GetAttrib(L"version");
            view_.SetVersionLabel(L"Ver: " + software_.version);
            doc.IntoElem();
            if (doc.FindElem(L"website")) {
                software_.website = doc.GetAttrib(L"url");
            }
            if (doc.FindElem(L"store")) {
                software_.store = doc.GetAttrib(L"url");
            }
            if (doc.FindElem(L"upgrade")) {
                software_.upgrade = doc.GetAttrib(L"url");
            }
            if (doc.FindElem(L"copyright")) {
                software_.copyright = doc.GetAttrib(L"info");
                view_.SetCopyrightLabel(software_.copyright);
            }
            doc.OutOfElem();
        }
    }
    LoadDeviceDefinition(201);
    view_.RegisterDeviceNotifications();
}

void DeviceCatalog::LoadDeviceDefinition(int deviceType) {
    keyboard_ = KeyboardEntry{};
    for (const KeyboardEntry& keyboard : keyboards_) {
        if (keyboard.device_type == deviceType) {
            keyboard_ = keyboard;
            break;
        }
    }
    keyboard_.device_type = deviceType;
    deviceType_ = deviceType;
    view_.OpenKeyboardStore(keyboard_.name, deviceType);

    definition_.firmwareUrl.clear();
    XmlDocument doc;
    if (!doc.Load(LayoutPath(keyboard_.device_info)) || !doc.IsWellFormed() ||
        !doc.FindElem(L"device.info")) {
        return;
    }
    doc.IntoElem();
    ReadDeviceInfo(doc);
}

void DeviceCatalog::ReadDeviceInfo(XmlDocument& doc) {
    DeviceDefinition& d = definition_;
    // Each element is searched forward from the last one found, in this order.
    if (doc.FindElem(L"menu")) {
        d.menuFlags = kMenuCustomKey | kMenuSettingsView;
        if (ParseDecimal(doc.GetAttrib(L"macro")) == 1) {
            d.menuFlags |= kMenuMacro;
        }
        if (ParseDecimal(doc.GetAttrib(L"light_mode")) == 1) {
            d.menuFlags |= kMenuLighting;
        }
        view_.ShowTabItem(1, (d.menuFlags & kMenuCustomKey) != 0);
        view_.ShowTabItem(2, (d.menuFlags & kMenuMacro) != 0);
        view_.ShowTabItem(3, (d.menuFlags & kMenuLighting) != 0);
    }
    if (doc.FindElem(L"function")) {
        d.sleepTime = ParseDecimal(doc.GetAttrib(L"sleep_time")) == 1;
    }
    if (doc.FindElem(L"firmware")) {
        d.firmwareVersion = doc.GetAttrib(L"version");
        d.firmwareFile = doc.GetAttrib(L"file");
        d.firmwareUrl = doc.GetAttrib(L"url");
        view_.ShowFirmwareButton(!d.firmwareVersion.empty() && !d.firmwareFile.empty());
    }
    if (doc.FindElem(L"light")) {
        d.rgbKeyboard = ParseDecimal(doc.GetAttrib(L"rgb_keyboard")) == 1;
        d.defaultMode = ParseDecimal(doc.GetAttrib(L"default_mode"));
        d.defaultBrightness = ParseDecimal(doc.GetAttrib(L"default_brightness"));
        d.defaultSpeed = ParseDecimal(doc.GetAttrib(L"default_speed"));
        d.brightnessMax = ParseDecimal(doc.GetAttrib(L"brightness_max"));
        d.speedMax = ParseDecimal(doc.GetAttrib(L"speed_max"));
        view_.SetSliderMaxima(d.brightnessMax, d.speedMax);
        d.lightModes.clear();
        doc.IntoElem();
        while (doc.FindElem(L"info")) {
            d.lightModes.push_back(LightModeEntry{doc.GetAttrib(L"name"),
                                                  ParseDecimal(doc.GetAttrib(L"mode")),
                                                  ParseDecimal(doc.GetAttrib(L"attribute"))});
        }
        doc.OutOfElem();
    }

    d.matrixIndex.clear();
    d.colourIndex.clear();
    d.grid = EmptyKeyGrid();
    d.rowCount = 0;
    d.colCount = 0;
    d.keys.clear();
    d.hasPicture = false;
    d.picture = KeyboardPicture{};
    for (int bit : kViewBits) {
        if (d.menuFlags & bit) {
            view_.ClearKeyboardView(bit);
        }
    }
    ReadKeyboardElement(doc, d);
    for (int bit : kViewBits) {
        if (!(d.menuFlags & bit)) {
            continue;
        }
        if (d.hasPicture) {
            view_.SetKeyboardPicture(bit, d.picture);
        }
        for (const KeyItem& key : d.keys) {
            view_.AddKeyItem(bit, key);
        }
    }
}

} // namespace kw
