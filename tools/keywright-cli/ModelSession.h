#pragma once

// What the download and lighting commands work with: the link to the keyboard (attached or
// simulated), the layout of the model the link talks to, and that model's store.

#include "app/store/ConfigStore.h"
#include "tools/keywright-cli/LinkSession.h"

namespace kw::cli {

class ModelSession {
public:
    explicit ModelSession(CliContext& context) : context_(context), link_(context) {}
    ~ModelSession();

    // 0 when the link (and, with `needKeyboard`, a connected keyboard) and the store are there;
    // else the exit code, with the message printed.
    int Open(bool needKeyboard);

    LinkSession& Link() { return link_; }
    ConfigStore& Store() { return ConfigStore::Instance(); }
    const DeviceDefinition& Layout() const { return context_.Catalog().Definition(); }
    int DeviceType() const { return link_.DeviceType(); }
    std::wstring ModelName() const { return link_.ModelName(); }

    // Posts a device job and runs worker passes until the queue is empty.
    void RunJob(int code);

private:
    CliContext& context_;
    LinkSession link_;
};

// "RRGGBB" as a colour value (red in bits 0-7); false for anything else.
bool ParseColour(const std::string& text, int& colour);
// A whole decimal number from `low` to `high`; false otherwise.
bool ParseNumber(const std::string& text, int low, int high, int& value);

} // namespace kw::cli
