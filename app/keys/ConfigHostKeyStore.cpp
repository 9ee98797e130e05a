#include "app/keys/HostKeyStore.h"

#include "app/store/ConfigStore.h"

namespace kw {

int ConfigHostKeyStore::ListKeyFunctions(int profile, int fnLayer, std::vector<KeyFunction>& records) {
    return store_.ListKeyFunctions(profile, fnLayer, records);
}

bool ConfigHostKeyStore::GetMacro(int macroId, MacroRecord& record) {
    return store_.GetMacro(macroId, record);
}

int ConfigHostKeyStore::ListMacroItems(int macroId, std::vector<MacroItem>& items) {
    return store_.ListMacroItems(macroId, items);
}

bool ConfigHostKeyStore::GetKeyExtra(int extraId, KeyExtra& extra) {
    extra = KeyExtra{};
    extra.macro_value = extraId;
    return store_.GetKeyExtra(extraId, extra.macro_desc, extra.param, extra.type);
}

} // namespace kw
