#include "app/keys/KeyHandler.h"

#include "app/device/PresetShortcutKeys.h"

#include <thread>

namespace kw {

KeyHandler::KeyHandler(Kbvirt& kbvirt, HidUsbFilter::FilterMonitor& filter, HostKeyStore& store,
                       MacroQueue& macros, MacroPlayer& player, HostWindow& window)
    : kbvirt_(kbvirt), filter_(filter), store_(store), macros_(macros), player_(player), window_(window) {}

void KeyHandler::Listen() {
    filter_.AddListener(this, &KeyHandler::OnKey);
}

void KeyHandler::ApplyProfile() {
    kbvirt_.ReleaseAll();
    filter_.Stop();
    filter_.ClearKeys();

    std::vector<KeyFunction> records;
    store_.ListKeyFunctions(window_.CurrentProfile(), window_.CurrentLayer(), records);
    std::vector<int> codes;
    {
        std::lock_guard lock(mapMutex_);
        keyMap_.clear();
        for (const KeyFunction& record : records) {
            codes.push_back(record.key_code);
            keyMap_[record.key_code] = record;
        }
    }
    filter_.SetKeys(codes);

    filter_.Stop();
    filter_.SendControl(kFilterPrepare);
    filter_.SendControl(kFilterActivate);
    filter_.Start();
}

std::optional<KeyFunction> KeyHandler::MappedFunction(int code) const {
    std::lock_guard lock(mapMutex_);
    const auto found = keyMap_.find(code);
    if (found == keyMap_.end())
        return std::nullopt;
    return found->second;
}

int KeyHandler::OnKey(int /*type*/, int code, bool pressed) {
    if (pressed)
        player_.OnWatchedPress();
    const std::optional<KeyFunction> function = MappedFunction(code);
    if (!function)
        return 0;
    switch (function->macro_type) {
    case 2:
        if (kbvirt_.FindVirtualDevice()) {
            if (function->macro_value >= 232)
                kbvirt_.SetConsumer(function->macro_value, pressed);
            else
                kbvirt_.SetKey(function->macro_value, pressed);
        }
        break;
    case 5:
        if (kbvirt_.FindVirtualDevice())
            kbvirt_.SetMouseButton(function->macro_value, pressed);
        break;
    case 7:
        if (pressed && kbvirt_.FindVirtualDevice())
            PlayShortcut(function->macro_value);
        break;
    case 3:
        if (pressed) {
            player_.OnMacroKeyPress();
            if (macros_.Empty())
                macros_.Post(function->macro_value);
        } else {
            player_.OnMacroKeyRelease();
        }
        break;
    case 8:
    case 9:
    case 10:
    case 11:
        if (pressed && functions_ != nullptr) {
            HostFunctions* functions = functions_;
            const int extraId = function->macro_value;
            window_.PostToUiThread([functions, extraId] { functions->RunHostFunction(extraId); });
        }
        break;
    default:
        // 1 (disabled), 6 and 12: nothing; the filter keeps the key from the system.
        break;
    }
    return 1;
}

void KeyHandler::PlayShortcut(int preset) {
    for (const PresetKeyEvent& step : PresetShortcutEvents(preset)) {
        kbvirt_.SetKey(step.usage, step.press);
        std::this_thread::sleep_for(kShortcutStep);
    }
    kbvirt_.ReleaseAll();
}

void KeyHandler::Shutdown() {
    kbvirt_.ReleaseAll();
    filter_.Stop();
    filter_.ClearKeys();
}

} // namespace kw
