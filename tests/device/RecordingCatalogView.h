#pragma once

// Records every effect of loading product and layout files as one line of text.

#include "app/device/DeviceCatalogView.h"
#include "ui/framework/TextConvert.h"

#include <string>
#include <vector>

namespace kw::test {

class RecordingCatalogView : public DeviceCatalogView {
public:
    std::vector<std::string> calls;

    void AddDevice(const std::wstring& name, int type) override {
        Add("AddDevice " + U(name) + " " + N(type));
    }
    void SetVersionLabel(const std::wstring& text) override { Add("Version " + U(text)); }
    void SetCopyrightLabel(const std::wstring& text) override { Add("Copyright " + U(text)); }
    void RegisterDeviceNotifications() override { Add("Register"); }
    void OpenKeyboardStore(const std::wstring& name, int type) override {
        Add("Store " + U(name) + " " + N(type));
    }
    void ShowTabItem(int item, bool visible) override {
        Add("Tab " + N(item) + (visible ? " shown" : " hidden"));
    }
    void ShowFirmwareButton(bool visible) override {
        Add(std::string("Firmware ") + (visible ? "shown" : "hidden"));
    }
    void SetSliderMaxima(int b, int s) override { Add("Sliders " + N(b) + " " + N(s)); }
    void ClearKeyboardView(int bit) override { Add("Clear " + N(bit)); }
    void SetKeyboardPicture(int bit, const KeyboardPicture& p) override {
        Add("Picture " + N(bit) + " " + U(p.image) + " " + N(p.xpos) + "," + N(p.ypos) + " " + N(p.width) +
            "x" + N(p.height));
    }
    void AddKeyItem(int bit, const KeyItem& k) override { Add("Key " + N(bit) + " " + U(k.name)); }

    bool Has(const std::string& call) const {
        for (const std::string& c : calls) {
            if (c == call) {
                return true;
            }
        }
        return false;
    }
    int Count(const std::string& prefix) const {
        int n = 0;
        for (const std::string& c : calls) {
            n += c.rfind(prefix, 0) == 0 ? 1 : 0;
        }
        return n;
    }

private:
    void Add(std::string call) { calls.push_back(std::move(call)); }
    static std::string U(const std::wstring& s) { return vellum::ToUtf8(s); }
    static std::string N(int n) { return std::to_string(n); }
};

} // namespace kw::test
