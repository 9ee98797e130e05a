#include "app/device/StoreDownloadSource.h"

namespace kw {

std::vector<KeyFunction> StoreDownloadSource::KeyFunctions() {
    std::vector<KeyFunction> functions;
    store_.ListKeyFunctions(profile_, fnLayer_, functions);
    return functions;
}

bool StoreDownloadSource::Macro(int macroId, MacroRecord& record) {
    return store_.GetMacro(macroId, record);
}

std::vector<MacroItem> StoreDownloadSource::MacroItems(int macroId) {
    std::vector<MacroItem> items;
    store_.ListMacroItems(macroId, items);
    return items;
}

} // namespace kw
