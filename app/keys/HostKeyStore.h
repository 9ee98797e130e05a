#pragma once

// What the host playback reads from the configuration store.

#include "app/store/KeyExtra.h"
#include "app/store/KeyFunction.h"
#include "app/store/MacroItem.h"
#include "app/store/MacroRecord.h"

#include <vector>

namespace kw {

class ConfigStore;

class HostKeyStore {
public:
    virtual ~HostKeyStore() = default;
    // The key functions of a profile and Fn layer, in stored order; their count.
    virtual int ListKeyFunctions(int profile, int fnLayer, std::vector<KeyFunction>& records) = 0;
    virtual bool GetMacro(int macroId, MacroRecord& record) = 0;
    // The macro's events in play order; their count.
    virtual int ListMacroItems(int macroId, std::vector<MacroItem>& items) = 0;
    virtual bool GetKeyExtra(int extraId, KeyExtra& extra) = 0;
};

// The host playback's view of the ConfigStore.
class ConfigHostKeyStore : public HostKeyStore {
public:
    explicit ConfigHostKeyStore(ConfigStore& store) : store_(store) {}
    int ListKeyFunctions(int profile, int fnLayer, std::vector<KeyFunction>& records) override;
    bool GetMacro(int macroId, MacroRecord& record) override;
    int ListMacroItems(int macroId, std::vector<MacroItem>& items) override;
    bool GetKeyExtra(int extraId, KeyExtra& extra) override;

private:
    ConfigStore& store_;
};

} // namespace kw
