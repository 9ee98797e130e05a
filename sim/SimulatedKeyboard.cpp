#include "sim/SimulatedKeyboard.h"

#include "app/device/HidDeviceManager.h"
#include "app/device/HidPath.h"
#include "ui/framework/TextConvert.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace kw {

namespace {

class SimHandle : public HidHandle {
public:
    SimHandle(std::shared_ptr<SimulatedKeyboard> keyboard, size_t index, uint64_t generation)
        : keyboard_(std::move(keyboard)), index_(index), generation_(generation) {}

    int SendFeatureReport(std::span<const uint8_t> report) override {
        return keyboard_->Feature(index_, generation_, report);
    }
    int GetFeatureReport(std::span<uint8_t> report) override {
        return keyboard_->GetFeature(index_, generation_, report);
    }
    int WriteOutputReport(std::span<const uint8_t> report) override {
        return keyboard_->Write(index_, generation_, report);
    }
    void Cancel() override { keyboard_->Cancel(); }

private:
    std::shared_ptr<SimulatedKeyboard> keyboard_;
    size_t index_;
    uint64_t generation_;
};

// The interface number in a pattern such as "VID_1209&PID_0001&MI_02"; -1 without one.
int InterfaceNumberOf(const std::wstring& pattern) {
    const std::string upper = UpperCaseAscii(vellum::ToUtf8(pattern));
    const size_t at = upper.find("&MI_");
    if (at == std::string::npos) {
        return -1;
    }
    const std::string digits = upper.substr(at + 4, 2);
    if (digits.size() != 2 || !std::isxdigit(static_cast<unsigned char>(digits[0])) ||
        !std::isxdigit(static_cast<unsigned char>(digits[1]))) {
        return -1;
    }
    return static_cast<int>(std::strtol(digits.c_str(), nullptr, 16));
}

std::string LowerCaseAscii(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

} // namespace

SimulatedKeyboard::SimulatedKeyboard(const ModeEntry& entry, std::shared_ptr<LinkClock> clock, int serial,
                                     bool lowerCasePaths)
    : entry_(entry), deviceType_(entry.device_type), mode_(entry.mode), clock_(std::move(clock)),
      firmware_(entry.device_type) {
    const auto vid = static_cast<uint16_t>(entry.vid);
    const auto pid = static_cast<uint16_t>(entry.pid);
    const std::string base = "sim" + std::to_string(serial);
    auto add = [&](int number, uint16_t usagePage, uint16_t usage, const std::string& native,
                   bool secondary) {
        HidInterfaceInfo info;
        info.vid = vid;
        info.pid = pid;
        info.release = 0x0100;
        info.usagePage = usagePage;
        info.usage = usage;
        info.interfaceNumber = number;
        info.productString = entry.product_name;
        info.path = SynthesiseInterfacePath(vid, pid, number, native);
        if (lowerCasePaths) {
            info.path = LowerCaseAscii(info.path);
        }
        interfaces_.push_back(info);
        secondary_.push_back(secondary);
    };
    const int vendor = InterfaceNumberOf(entry.hid_interface);
    if (vendor >= 0) {
        add(0, 0x01, 0x06, base + "-0", false); // the boot keyboard
        if (vendor != 0) {
            add(vendor, HidDeviceManager::kVendorUsagePage, HidDeviceManager::kVendorUsage,
                base + "-" + std::to_string(vendor), vendor == 3);
        }
        if (vendor != 3) {
            add(3, HidDeviceManager::kVendorUsagePage, HidDeviceManager::kVendorUsage, base + "-3", true);
        }
    } else {
        // Bluetooth LE: one HID device, two collections, no interface numbers.
        add(-1, 0x01, 0x06, base + "-c0", false);
        add(-1, HidDeviceManager::kVendorUsagePage, HidDeviceManager::kVendorUsage, base + "-c1", false);
        // The GATT HID service is announced under a path of its own.
        std::string gatt =
            SynthesiseInterfacePath(vid, pid, -1, "{00001812-0000-1000-8000-00805f9b34fb}_" + base);
        announcements_.push_back(lowerCasePaths ? LowerCaseAscii(gatt) : gatt);
    }
}

bool SimulatedKeyboard::Plugged() const {
    std::lock_guard lock(mutex_);
    return plugged_;
}

std::vector<SimReport> SimulatedKeyboard::Reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
}

void SimulatedKeyboard::ClearReports() {
    std::lock_guard lock(mutex_);
    reports_.clear();
}

SimFirmwareState SimulatedKeyboard::State() const {
    std::lock_guard lock(mutex_);
    return firmware_.State();
}

void SimulatedKeyboard::SetVersion(uint16_t version) {
    std::lock_guard lock(mutex_);
    firmware_.State().version = version;
}

void SimulatedKeyboard::SetSlotTable(const std::array<uint8_t, 28>& table) {
    std::lock_guard lock(mutex_);
    firmware_.State().slotTable = table;
}

void SimulatedKeyboard::SetNoAnswer(bool on) {
    std::lock_guard lock(mutex_);
    noAnswer_ = on;
}

void SimulatedKeyboard::SetEmptyAnswer(bool on) {
    std::lock_guard lock(mutex_);
    emptyAnswer_ = on;
}

void SimulatedKeyboard::SetShortAnswer(int bytes) {
    std::lock_guard lock(mutex_);
    shortAnswer_ = std::max(0, bytes);
}

void SimulatedKeyboard::SetAnswerOverride(std::vector<uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    answerOverride_ = std::move(bytes);
}

void SimulatedKeyboard::StallWrites(bool on) {
    {
        std::lock_guard lock(mutex_);
        stallWrites_ = on;
    }
    stallLifted_.notify_all();
}

void SimulatedKeyboard::FailWrites(int from, int count) {
    std::lock_guard lock(mutex_);
    writesSeen_ = 0;
    failFrom_ = from;
    failCount_ = count;
}

void SimulatedKeyboard::UnplugAfterReports(int count) {
    std::lock_guard lock(mutex_);
    unplugAfter_ = std::max(0, count);
}

void SimulatedKeyboard::SetKeyboardPresent(bool present) {
    std::lock_guard lock(mutex_);
    keyboardPresent_ = present;
}

void SimulatedKeyboard::SetVanishOnOpen(bool on) {
    std::lock_guard lock(mutex_);
    vanishOnOpen_ = on;
}

bool SimulatedKeyboard::VanishOnOpen() const {
    std::lock_guard lock(mutex_);
    return vanishOnOpen_;
}

std::unique_ptr<HidHandle> SimulatedKeyboard::OpenInterface(size_t index) {
    std::lock_guard lock(mutex_);
    if (!plugged_ || vanishOnOpen_ || index >= interfaces_.size()) {
        return nullptr;
    }
    return std::make_unique<SimHandle>(shared_from_this(), index, generation_);
}

void SimulatedKeyboard::SetPlugged(bool plugged) {
    {
        std::lock_guard lock(mutex_);
        if (plugged_ == plugged) {
            return;
        }
        plugged_ = plugged;
        ++generation_; // handles of an earlier connection stay dead
    }
    stallLifted_.notify_all();
}

void SimulatedKeyboard::SetUnplugRequest(std::function<void()> request) {
    std::lock_guard lock(mutex_);
    unplugRequest_ = std::move(request);
}

bool SimulatedKeyboard::Record(SimReport::Kind kind, size_t index, std::span<const uint8_t> bytes) {
    SimReport report;
    report.kind = kind;
    report.time = clock_->Now();
    report.path = interfaces_[index].path;
    report.secondary = secondary_[index];
    report.bytes.assign(bytes.begin(), bytes.end());
    reports_.push_back(std::move(report));
    return unplugAfter_ > 0 && --unplugAfter_ == 0;
}

SimulatedKeyboard::TransferWatch::TransferWatch(SimulatedKeyboard& keyboard) : keyboard_(keyboard) {
    if (keyboard_.transfersRunning_.fetch_add(1) > 0) {
        keyboard_.overlappingTransfers_.fetch_add(1);
    }
}

SimulatedKeyboard::TransferWatch::~TransferWatch() {
    keyboard_.transfersRunning_.fetch_sub(1);
}

int SimulatedKeyboard::OverlappingTransfers() const {
    return overlappingTransfers_.load();
}

void SimulatedKeyboard::RequestUnplug() {
    std::function<void()> request;
    {
        std::lock_guard lock(mutex_);
        request = unplugRequest_;
    }
    if (request) {
        request();
    } else {
        SetPlugged(false);
    }
}

int SimulatedKeyboard::Feature(size_t index, uint64_t generation, std::span<const uint8_t> report) {
    const TransferWatch watch(*this);
    bool unplug = false;
    {
        std::lock_guard lock(mutex_);
        if (!plugged_ || generation != generation_) {
            return -1;
        }
        if (!keyboardPresent_) {
            return static_cast<int>(report.size()); // the receiver takes it; nobody hears it
        }
        unplug = Record(SimReport::Kind::Feature, index, report);
        firmware_.OnFeatureReport(report);
    }
    if (unplug) {
        RequestUnplug();
    }
    return static_cast<int>(report.size());
}

int SimulatedKeyboard::GetFeature(size_t index, uint64_t generation, std::span<uint8_t> report) {
    const TransferWatch watch(*this);
    bool unplug = false;
    int result = -1;
    {
        std::lock_guard lock(mutex_);
        if (!plugged_ || generation != generation_ || report.empty()) {
            return -1;
        }
        if (!keyboardPresent_) {
            return -1;
        }
        unplug = Record(SimReport::Kind::FeatureRead, index, report.first(1));
        if (noAnswer_) {
            result = -1;
        } else if (emptyAnswer_) {
            result = 0;
        } else if (!answerOverride_.empty()) {
            const size_t count = std::min(report.size(), answerOverride_.size());
            std::copy_n(answerOverride_.begin(), count, report.begin());
            result = static_cast<int>(count);
        } else {
            std::array<uint8_t, 8> answer{};
            result = firmware_.Answer(answer);
            if (shortAnswer_ > 0) {
                result = std::min(result, shortAnswer_);
            }
            result = std::min<int>(result, static_cast<int>(report.size()));
            std::copy_n(answer.begin(), result, report.begin());
        }
    }
    if (unplug) {
        RequestUnplug();
        return -1; // gone in the middle of the read
    }
    return result;
}

int SimulatedKeyboard::Write(size_t index, uint64_t generation, std::span<const uint8_t> report) {
    const TransferWatch watch(*this);
    bool unplug = false;
    {
        std::unique_lock lock(mutex_);
        if (!plugged_ || generation != generation_) {
            return -1;
        }
        ++writesSeen_;
        if (failFrom_ > 0 && writesSeen_ >= failFrom_ && writesSeen_ - failFrom_ < failCount_) {
            return -1;
        }
        const uint64_t cancels = cancelCount_;
        stallLifted_.wait(lock, [&] {
            return !stallWrites_ || !plugged_ || generation != generation_ || cancelCount_ != cancels;
        });
        if (!plugged_ || generation != generation_ || cancelCount_ != cancels) {
            return -1;
        }
        if (!keyboardPresent_) {
            return static_cast<int>(report.size());
        }
        unplug = Record(SimReport::Kind::Output, index, report);
        firmware_.OnOutputReport(report, secondary_[index]);
    }
    if (unplug) {
        RequestUnplug();
    }
    return static_cast<int>(report.size());
}

void SimulatedKeyboard::Cancel() {
    {
        std::lock_guard lock(mutex_);
        ++cancelCount_;
    }
    stallLifted_.notify_all();
}

} // namespace kw
