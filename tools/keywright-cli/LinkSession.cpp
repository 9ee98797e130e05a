#include "tools/keywright-cli/LinkSession.h"

#include "app/device/HidapiBackend.h"
#include "app/device/SystemClock.h"
#include "app/device/TracingBackend.h"
#include "ui/framework/TextConvert.h"

#include <cstdio>
#include <cstdlib>

namespace kw::cli {

int LinkSession::Fail(const std::string& message) {
    std::fprintf(stderr, "keywright-cli: %s\n", message.c_str());
    return 1;
}

std::wstring LinkSession::ModelName() const {
    for (const KeyboardEntry& keyboard : context_.Catalog().Keyboards()) {
        if (keyboard.device_type == link_->DeviceType()) {
            return keyboard.name;
        }
    }
    return L"";
}

// --simulate[=MODEL[:MODE]]: MODEL is a model name or device type, MODE a connection mode value.
// Without a value: the model loaded at start (device type 201) on its cable.
int LinkSession::ChooseSimulatedMode(ModeEntry& entry) const {
    const std::string& target = context_.Options().simulateTarget;
    std::string model = target;
    int mode = 0;
    if (const size_t colon = target.rfind(':'); colon != std::string::npos) {
        model = target.substr(0, colon);
        char* end = nullptr;
        const std::string modeText = target.substr(colon + 1);
        mode = static_cast<int>(std::strtol(modeText.c_str(), &end, 10));
        if (modeText.empty() || *end != '\0') {
            std::fprintf(stderr, "keywright-cli: --simulate=MODEL:MODE takes a mode number\n");
            return 2;
        }
    }
    // Without a model named here, the simulated keyboard is the model the command works on.
    int deviceType = context_.Catalog().CurrentDeviceType();
    if (!model.empty()) {
        deviceType = -1;
        for (const KeyboardEntry& keyboard : context_.Catalog().Keyboards()) {
            if (vellum::ToUtf8(keyboard.name) == model || std::to_string(keyboard.device_type) == model) {
                deviceType = keyboard.device_type;
                break;
            }
        }
    }
    for (const ModeEntry& candidate : context_.Catalog().Modes()) {
        if (candidate.device_type == deviceType && candidate.mode == mode) {
            entry = candidate;
            return 0;
        }
    }
    std::fprintf(stderr, "keywright-cli: no model '%s' with mode %d in config.xml\n",
                 model.empty() ? std::to_string(deviceType).c_str() : model.c_str(), mode);
    return 2;
}

int LinkSession::OpenConnected() {
    if (const int status = Open(); status != 0) {
        return status;
    }
    return Connected() ? 0 : Fail("no keyboard connected");
}

int LinkSession::Open() {
    if (!context_.LoadProduct()) {
        return 2;
    }
    const CliOptions& options = context_.Options();
    clock_ = std::make_shared<SystemClock>();

    ModeEntry simulated;
    std::shared_ptr<HidBackend> backend;
    if (options.simulate) {
        if (const int status = ChooseSimulatedMode(simulated); status != 0) {
            return status;
        }
        simulator_ = std::make_shared<SimulatedHid>(clock_);
        backend = simulator_;
    } else {
        backend = std::make_shared<HidapiBackend>();
    }
    if (options.trace) {
        backend = std::make_shared<TracingBackend>(
            backend, [](const std::string& line) { std::fprintf(stderr, "trace: %s\n", line.c_str()); });
    }
    manager_ = std::make_unique<HidDeviceManager>(backend, clock_);
    for (const KnownDevice& row : context_.Catalog().KnownDevices()) {
        manager_->AddKnown(row);
    }
    link_ = std::make_unique<DeviceLink>(*manager_, *clock_, *this);
    link_->SetModes(context_.Catalog().Modes());

    // The model: as chosen with --model or --device-type, else the simulated one, else the one
    // loaded at start unless only another model is attached.
    const bool chosen = !options.model.empty() || options.deviceType != 201;
    int deviceType = context_.Catalog().CurrentDeviceType();
    if (!chosen && options.simulate) {
        deviceType = simulated.device_type;
    }
    if (simulator_) {
        simulator_->PlugIn(simulated);
    }
    link_->SetDeviceType(deviceType);
    link_->Rescan();
    if (!chosen && !options.simulate) {
        std::vector<DeviceRecord> records;
        manager_->Records(records);
        const bool ownTypePresent = std::any_of(records.begin(), records.end(), [&](const DeviceRecord& r) {
            return r.deviceType == deviceType;
        });
        if (!ownTypePresent && !records.empty()) {
            link_->SetDeviceType(records.front().deviceType);
        }
    }
    link_->UpdateConnection();
    return 0;
}

} // namespace kw::cli
