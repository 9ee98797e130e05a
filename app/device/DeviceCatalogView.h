#pragma once

// How loading the product and layout files shows on the windows. The main window implements it;
// every operation does nothing by default, so a caller overrides only what it shows.

#include "app/device/ProductTypes.h"

#include <string>

namespace kw {

class DeviceCatalogView {
public:
    virtual ~DeviceCatalogView() = default;

    // config.xml
    virtual void AddDevice(const std::wstring& /*name*/, int /*deviceType*/) {}
    virtual void SetVersionLabel(const std::wstring& /*text*/) {}
    virtual void SetCopyrightLabel(const std::wstring& /*text*/) {}
    virtual void RegisterDeviceNotifications() {}

    // A model became current: its configuration store is to be (re)opened.
    virtual void OpenKeyboardStore(const std::wstring& /*keyboardName*/, int /*deviceType*/) {}

    // Layout file capabilities.
    virtual void ShowTabItem(int /*item*/, bool /*visible*/) {}
    virtual void ShowFirmwareButton(bool /*visible*/) {}
    virtual void SetSliderMaxima(int /*brightnessMax*/, int /*speedMax*/) {}

    // Keyboard views, named by their menu bit (kMenuCustomKey, kMenuLighting, kMenuSettingsView).
    virtual void ClearKeyboardView(int /*viewBit*/) {}
    virtual void SetKeyboardPicture(int /*viewBit*/, const KeyboardPicture& /*picture*/) {}
    virtual void AddKeyItem(int /*viewBit*/, const KeyItem& /*item*/) {}
};

} // namespace kw
