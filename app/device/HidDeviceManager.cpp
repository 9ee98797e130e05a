#include "app/device/HidDeviceManager.h"

#include "app/device/CommandFrames.h"
#include "app/device/HidPath.h"
#include "app/device/HidapiBackend.h"
#include "app/device/SystemClock.h"
#include "app/device/TransferRunner.h"

#include <algorithm>

namespace kw {

namespace {

using namespace std::chrono_literals;

constexpr auto kFeaturePause = 16ms;
constexpr auto kRetryPause = 10ms;
constexpr auto kRetryPause64 = 32ms;

std::mutex g_instanceMutex;
std::shared_ptr<HidBackend> g_backend;
std::shared_ptr<LinkClock> g_clock;
std::unique_ptr<HidDeviceManager> g_instance;

} // namespace

HidDeviceManager::HidDeviceManager(std::shared_ptr<HidBackend> backend, std::shared_ptr<LinkClock> clock,
                                   std::chrono::milliseconds transferBound)
    : backend_(std::move(backend)), clock_(std::move(clock)),
      runner_(std::make_unique<TransferRunner>(transferBound)) {}

HidDeviceManager::~HidDeviceManager() {
    {
        std::lock_guard lock(mutex_);
        CloseAllLocked();
        current_ = nullptr;
    }
    runner_.reset(); // unblocks and ends a transfer still running before the backend goes
}

HidDeviceManager& HidDeviceManager::Instance() {
    std::lock_guard lock(g_instanceMutex);
    if (!g_instance) {
        auto backend = g_backend ? g_backend : std::make_shared<HidapiBackend>();
        auto clock = g_clock ? g_clock : std::make_shared<SystemClock>();
        g_instance = std::make_unique<HidDeviceManager>(std::move(backend), std::move(clock));
    }
    return *g_instance;
}

bool HidDeviceManager::ConfigureInstance(std::shared_ptr<HidBackend> backend,
                                         std::shared_ptr<LinkClock> clock) {
    std::lock_guard lock(g_instanceMutex);
    if (g_instance) {
        return false;
    }
    g_backend = std::move(backend);
    g_clock = std::move(clock);
    return true;
}

void HidDeviceManager::AddKnown(const KnownDevice& row) {
    std::lock_guard lock(mutex_);
    known_.push_back(row);
}

bool HidDeviceManager::IsKnown(int vid, int pid, const std::wstring& productString) const {
    std::lock_guard lock(mutex_);
    return std::any_of(known_.begin(), known_.end(), [&](const KnownDevice& row) {
        return row.vid == vid && row.pid == pid &&
               (row.product_name.empty() || row.product_name == productString);
    });
}

int HidDeviceManager::DeviceTypeOf(int vid, int pid) const {
    std::lock_guard lock(mutex_);
    for (const KnownDevice& row : known_) {
        if (row.vid == vid && row.pid == pid) {
            return row.device_type;
        }
    }
    return 0;
}

int HidDeviceManager::ModeOf(int vid, int pid) const {
    std::lock_guard lock(mutex_);
    for (const KnownDevice& row : known_) {
        if (row.vid == vid && row.pid == pid) {
            return row.mode;
        }
    }
    return 0;
}

void HidDeviceManager::Scan() {
    CloseAll();
    // Enumerate and open outside the lock: both may take a while on a real bus.
    const std::vector<HidInterfaceInfo> interfaces = backend_->Enumerate();
    std::vector<Entry> found;
    std::shared_ptr<HidHandle> secondary;
    for (const HidInterfaceInfo& info : interfaces) {
        if (!IsKnown(info.vid, info.pid, info.productString)) {
            continue;
        }
        std::shared_ptr<HidHandle> handle = backend_->Open(info.path);
        if (!handle) {
            continue; // gone since the enumeration, or not ours to open
        }
        if (info.usagePage != kVendorUsagePage || info.usage != kVendorUsage) {
            continue; // closed again as `handle` goes
        }
        if (IsSecondaryInterfacePath(info.path)) {
            secondary = std::move(handle);
            continue;
        }
        DeviceRecord record;
        record.index = static_cast<int>(found.size());
        record.vid = info.vid;
        record.pid = info.pid;
        record.path = info.path.substr(0, 1023);
        record.productString = info.productString;
        record.release = info.release;
        record.deviceType = DeviceTypeOf(info.vid, info.pid);
        record.mode = ModeOf(info.vid, info.pid);
        found.push_back(Entry{std::move(record), std::move(handle)});
    }
    std::lock_guard lock(mutex_);
    CloseAllLocked();
    records_ = std::move(found);
    secondary_ = std::move(secondary);
    open_ = true;
    currentType_ = 0;
    current_ = nullptr;
}

void HidDeviceManager::CloseAll() {
    std::lock_guard lock(mutex_);
    CloseAllLocked();
}

void HidDeviceManager::CloseAllLocked() {
    if (!open_) {
        return;
    }
    open_ = false;
    records_.clear();
    secondary_ = nullptr;
}

bool HidDeviceManager::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void HidDeviceManager::SetCurrentType(int deviceType) {
    std::lock_guard lock(mutex_);
    currentType_ = deviceType;
    current_ = nullptr;
}

int HidDeviceManager::CurrentType() const {
    std::lock_guard lock(mutex_);
    return currentType_;
}

bool HidDeviceManager::Records(std::vector<DeviceRecord>& out) const {
    std::lock_guard lock(mutex_);
    out.clear();
    for (const Entry& entry : records_) {
        if (currentType_ == 0 || entry.record.deviceType == currentType_) {
            out.push_back(entry.record);
        }
    }
    return !records_.empty();
}

std::optional<DeviceRecord> HidDeviceManager::Current() {
    std::lock_guard lock(mutex_);
    if (!CurrentHandle()) {
        return std::nullopt;
    }
    for (const Entry& entry : records_) {
        if (entry.handle == current_) {
            return entry.record;
        }
    }
    return std::nullopt;
}

std::shared_ptr<HidHandle> HidDeviceManager::CurrentHandle() {
    if (current_) {
        return current_;
    }
    for (int mode : {0, 1, 2}) {
        for (const Entry& entry : records_) {
            if (entry.record.deviceType == currentType_ && entry.record.mode == mode) {
                current_ = entry.handle;
                return current_;
            }
        }
    }
    return nullptr;
}

int HidDeviceManager::ConnectionKind() const {
    std::lock_guard lock(mutex_);
    if (records_.empty()) {
        return -1;
    }
    for (int mode : {0, 2, 1}) {
        for (const Entry& entry : records_) {
            if (entry.record.deviceType == currentType_ && entry.record.mode == mode) {
                return mode;
            }
        }
    }
    return -1;
}

int HidDeviceManager::FindRecord(int vid, int pid, const std::wstring& productName, int mode) const {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < records_.size(); ++i) {
        const DeviceRecord& record = records_[i].record;
        if (record.vid == vid && record.pid == pid && record.mode == mode &&
            (productName.empty() || record.productString == productName)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool HidDeviceManager::HasSecondary() const {
    return SecondaryHandle() != nullptr;
}

std::shared_ptr<HidHandle> HidDeviceManager::TransferHandle() {
    std::lock_guard lock(mutex_);
    return open_ ? CurrentHandle() : nullptr;
}

std::shared_ptr<HidHandle> HidDeviceManager::SecondaryHandle() const {
    std::lock_guard lock(mutex_);
    return open_ ? secondary_ : nullptr;
}

int HidDeviceManager::SendFeatureOn(const std::shared_ptr<HidHandle>& handle, const FeatureReport& data) {
    return runner_->Run([handle, data] { return handle->SendFeatureReport(data); },
                        [handle] { handle->Cancel(); });
}

int HidDeviceManager::GetFeatureOn(const std::shared_ptr<HidHandle>& handle, FeatureReport& data) {
    // The transfer fills a copy of its own: after a time-out the caller's buffer must stay untouched.
    auto buffer = std::make_shared<FeatureReport>(data);
    const int got = runner_->Run([handle, buffer] { return handle->GetFeatureReport(*buffer); },
                                 [handle] { handle->Cancel(); });
    if (got > 0) {
        const size_t count = std::min<size_t>(static_cast<size_t>(got), data.size());
        std::copy_n(buffer->begin(), count, data.begin());
    }
    return got;
}

int HidDeviceManager::WriteOn(const std::shared_ptr<HidHandle>& handle, const OutputReport& data, Hand hand) {
    if (hand == Hand::Here) {
        return runner_->RunHere([&] { return handle->WriteOutputReport(data); },
                                [handle] { handle->Cancel(); });
    }
    return runner_->Run([handle, data] { return handle->WriteOutputReport(data); },
                        [handle] { handle->Cancel(); });
}

bool HidDeviceManager::WriteWithRetry(const std::shared_ptr<HidHandle>& handle, const OutputReport& data,
                                      std::chrono::milliseconds retryPause, Hand hand) {
    if (WriteOn(handle, data, hand) > 0) {
        return true;
    }
    clock_->Sleep(retryPause);
    return WriteOn(handle, data, hand) > 0;
}

bool HidDeviceManager::SendFeature(const FeatureReport& data) {
    const std::shared_ptr<HidHandle> handle = TransferHandle();
    return handle && SendFeatureOn(handle, data) > 0;
}

bool HidDeviceManager::SendFeatureDelayed(const FeatureReport& data) {
    const std::shared_ptr<HidHandle> handle = TransferHandle();
    if (!handle) {
        return false;
    }
    clock_->Sleep(kFeaturePause);
    return SendFeatureOn(handle, data) > 0;
}

bool HidDeviceManager::SendFeatureDelayedEx(const FeatureReport& data) {
    return SendFeatureDelayed(data);
}

bool HidDeviceManager::WriteReport(const OutputReport& data) {
    const std::shared_ptr<HidHandle> handle = TransferHandle();
    return handle && WriteWithRetry(handle, data, kRetryPause);
}

bool HidDeviceManager::WriteReport64(const OutputPayload& data) {
    const std::shared_ptr<HidHandle> handle = TransferHandle();
    if (!handle) {
        return false;
    }
    OutputReport report{};
    std::copy(data.begin(), data.end(), report.begin() + 1);
    return WriteWithRetry(handle, report, kRetryPause64);
}

bool HidDeviceManager::WriteSecondary(const OutputReport& data) {
    const std::shared_ptr<HidHandle> handle = SecondaryHandle();
    // Light frames stream at up to six reports per worker pass: written on the caller's thread,
    // they cost no hand-off between threads.
    return handle && WriteWithRetry(handle, data, kRetryPause, Hand::Here);
}

bool HidDeviceManager::QuerySlots(std::span<uint8_t, 28> table) {
    const std::shared_ptr<HidHandle> handle = TransferHandle();
    if (!handle) {
        return false;
    }
    FeatureReport request{};
    std::copy_n(table.begin(), request.size(), request.begin());
    SendFeatureOn(handle, request); // a failed request still gets its four reads
    FeatureReport answer{};
    bool answered = false;
    for (size_t pass = 0; pass < 4; ++pass) {
        answer[0] = kFeatureReportId;
        answer[1] = 0xFB;
        answer[2] = 0x01;
        clock_->Sleep(kFeaturePause);
        if (GetFeatureOn(handle, answer) > 0) {
            std::copy(answer.begin() + 1, answer.end(), table.begin() + 7 * pass);
            answered = true;
        }
    }
    return answered;
}

bool HidDeviceManager::ReadVersion(int& version) {
    const std::shared_ptr<HidHandle> handle = TransferHandle();
    if (!handle) {
        return false;
    }
    const FeatureReport buffer = ReadVersionRequest();
    clock_->Sleep(kFeaturePause);
    if (SendFeatureOn(handle, buffer) <= 0) {
        return false;
    }
    for (int attempt = 0; attempt < 2; ++attempt) {
        clock_->Sleep(kFeaturePause);
        FeatureReport answer{kFeatureReportId};
        const int got = GetFeatureOn(handle, answer);
        if (got > 0 && answer[0] == kFeatureReportId) {
            if (got < 3) {
                return false; // too short to carry a version
            }
            version = answer[1] * 256 + answer[2];
            return true;
        }
    }
    return false;
}

} // namespace kw
