#pragma once

// What a key download reads: the key functions of the current profile and Fn layer in the store's
// row order, the macros they play, and how a macro's virtual keys become HID usages.

#include "app/store/KeyFunction.h"
#include "app/store/MacroItem.h"
#include "app/store/MacroRecord.h"

#include <vector>

namespace kw {

// KeyFunction::macro_type values a download tells apart (0: no function).
constexpr int kFunctionDisabled = 1;
constexpr int kFunctionKey = 2;
constexpr int kFunctionMacro = 3;
constexpr int kFunctionPreset = 7;
// MacroItem::type values of the key events the keyboard plays itself.
constexpr int kMacroItemPress = 2;
constexpr int kMacroItemRelease = 3;

class DownloadSource {
public:
    virtual ~DownloadSource() = default;

    virtual std::vector<KeyFunction> KeyFunctions() = 0;
    // False when the macro does not exist.
    virtual bool Macro(int macroId, MacroRecord& record) = 0;
    // The macro's events in record_index order.
    virtual std::vector<MacroItem> MacroItems(int macroId) = 0;
    // The HID keyboard usage of a Windows virtual key, 0 when it has none.
    virtual int UsageOfVirtualKey(int vk) = 0;
};

} // namespace kw
