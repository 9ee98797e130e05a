#include "tests/vm/guest/UhidKeyboard.h"

#include "app/device/HidPath.h"
#include "ui/framework/TextConvert.h"

#include <cstdlib>

namespace kw::vmtest {

namespace {

int InterfaceNumberOf(const std::wstring& pattern) {
    const std::string upper = UpperCaseAscii(vellum::ToUtf8(pattern));
    const size_t at = upper.find("&MI_");
    if (at == std::string::npos || at + 6 > upper.size()) {
        return -1;
    }
    char* end = nullptr;
    const std::string digits = upper.substr(at + 4, 2);
    const long number = std::strtol(digits.c_str(), &end, 16);
    return end == digits.c_str() + 2 ? static_cast<int>(number) : -1;
}

} // namespace

UhidKeyboard::UhidKeyboard(const ModeEntry& entry, std::string tag)
    : entry_(entry), tag_(std::move(tag)), vendor_(InterfaceNumberOf(entry.hid_interface)),
      firmware_(entry.device_type) {}

std::string UhidKeyboard::Phys(int number) const {
    return number < 0 ? "bt-kwvm-" + tag_ : "usb-kwvm-" + tag_ + "/input" + std::to_string(number);
}

bool UhidKeyboard::Plug() {
    if (!devices_.empty()) {
        return false;
    }
    bool ok = true;
    if (vendor_ >= 0) {
        ok = Add(0, BootKeyboardDescriptor(), false);
        if (vendor_ != 0) {
            ok = ok && Add(vendor_, VendorDescriptor(), vendor_ == 3);
        }
        if (vendor_ != 3) {
            ok = ok && Add(3, VendorDescriptor(), true);
        }
    } else {
        ok = Add(-1, VendorDescriptor(), false);
    }
    if (!ok) {
        Unplug();
    }
    return ok;
}

void UhidKeyboard::Unplug() {
    devices_.clear();
}

bool UhidKeyboard::Add(int number, std::vector<uint8_t> descriptor, bool secondary) {
    auto device = std::make_unique<UhidDevice>();
    const bool vendor = number != 0;
    if (vendor) {
        device->OnSetReport([this, secondary](std::span<const uint8_t> report) {
            std::lock_guard lock(mutex_);
            reports_.push_back({true, secondary, {report.begin(), report.end()}});
            firmware_.OnFeatureReport(report);
            received_.notify_all();
            return true;
        });
        device->OnGetReport([this](uint8_t id, std::vector<uint8_t>& answer) {
            std::lock_guard lock(mutex_);
            answer.assign(8, 0);
            answer[0] = id;
            return firmware_.Answer(answer);
        });
        device->OnOutput([this, secondary](std::span<const uint8_t> report) {
            std::lock_guard lock(mutex_);
            reports_.push_back({false, secondary, {report.begin(), report.end()}});
            firmware_.OnOutputReport(report, secondary);
            received_.notify_all();
        });
    }
    UhidDescription description;
    description.name = vellum::ToUtf8(entry_.product_name.empty() ? L"KW keyboard" : entry_.product_name);
    description.phys = Phys(number);
    description.bus = number < 0 ? 0x05 : 0x03; // Bluetooth, USB
    description.vid = static_cast<uint16_t>(entry_.vid);
    description.pid = static_cast<uint16_t>(entry_.pid);
    description.descriptor = std::move(descriptor);
    if (!device->Create(description)) {
        return false;
    }
    devices_.push_back(std::move(device));
    return true;
}

SimFirmwareState UhidKeyboard::State() const {
    std::lock_guard lock(mutex_);
    return firmware_.State();
}

void UhidKeyboard::SetVersion(uint16_t version) {
    std::lock_guard lock(mutex_);
    firmware_.State().version = version;
}

void UhidKeyboard::SetSlotTable(const std::array<uint8_t, 28>& table) {
    std::lock_guard lock(mutex_);
    firmware_.State().slotTable = table;
}

std::vector<UhidKeyboard::Received> UhidKeyboard::Reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
}

bool UhidKeyboard::WaitReports(size_t count, std::chrono::milliseconds bound) {
    std::unique_lock lock(mutex_);
    return received_.wait_for(lock, bound, [&] { return reports_.size() >= count; });
}

void UhidKeyboard::ClearReports() {
    std::lock_guard lock(mutex_);
    reports_.clear();
}

} // namespace kw::vmtest
