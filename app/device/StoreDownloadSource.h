#pragma once

// A download source reading one profile and Fn layer of the configuration store.

#include "app/device/DownloadSource.h"
#include "app/store/ConfigStore.h"

#include <functional>

namespace kw {

class StoreDownloadSource : public DownloadSource {
public:
    using UsageMap = std::function<int(int vk)>;

    // `usageOfVirtualKey` is the program's virtual key to key code conversion.
    StoreDownloadSource(ConfigStore& store, int profile, int fnLayer, UsageMap usageOfVirtualKey)
        : store_(store), profile_(profile), fnLayer_(fnLayer),
          usageOfVirtualKey_(std::move(usageOfVirtualKey)) {}

    std::vector<KeyFunction> KeyFunctions() override;
    bool Macro(int macroId, MacroRecord& record) override;
    std::vector<MacroItem> MacroItems(int macroId) override;
    int UsageOfVirtualKey(int vk) override { return usageOfVirtualKey_ ? usageOfVirtualKey_(vk) : 0; }

private:
    ConfigStore& store_;
    int profile_;
    int fnLayer_;
    UsageMap usageOfVirtualKey_;
};

} // namespace kw
