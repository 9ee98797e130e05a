#pragma once

// The keyboard link as the device commands use it: the attached keyboards through hidapi, or the
// simulated keyboard with --simulate; every report traced to stderr with --trace. Opening it loads
// the product files and runs the rescan and connection update of a device arrival.

#include "app/device/DeviceLink.h"
#include "app/device/HidDeviceManager.h"
#include "app/device/LinkClock.h"
#include "app/device/WorkerWindow.h"
#include "sim/SimulatedHid.h"
#include "tools/keywright-cli/CliContext.h"

#include <memory>
#include <string>

namespace kw::cli {

class LinkSession : public WorkerWindow {
public:
    explicit LinkSession(CliContext& context) : context_(context) {}

    // 0 when the link is open, else the exit code (2 for a --simulate value naming no model or mode;
    // the message is printed).
    int Open();
    // Open, and 1 ("no keyboard connected") when no keyboard of a configured mode answers.
    int OpenConnected();

    HidDeviceManager& Manager() { return *manager_; }
    DeviceLink& Link() { return *link_; }
    LinkClock& Clock() { return *clock_; }
    // The model the commands talk to.
    int DeviceType() const { return link_->DeviceType(); }
    std::wstring ModelName() const;
    // A keyboard of a configured mode answers.
    bool Connected() const { return link_->InterfacesFound() && link_->ModeMatched(); }
    ConnectionState State() const { return state_; }

    // Prints "keywright-cli: <message>" on stderr and returns 1.
    static int Fail(const std::string& message);

private:
    void ShowConnection(ConnectionState state, int /*connectionKind*/) override { state_ = state; }
    int ChooseSimulatedMode(ModeEntry& entry) const;

    CliContext& context_;
    std::shared_ptr<LinkClock> clock_;
    std::shared_ptr<SimulatedHid> simulator_;
    std::unique_ptr<HidDeviceManager> manager_;
    std::unique_ptr<DeviceLink> link_;
    ConnectionState state_ = ConnectionState::NoKeyboard;
};

} // namespace kw::cli
