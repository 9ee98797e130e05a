#include "app/keys/HostFunctions.h"

#include <cwchar>
#include <cwctype>
#include <thread>

namespace kw {

namespace {

constexpr int kCtrl = 224;
constexpr int kV = 25;

bool HasScheme(const std::wstring& address) {
    // scheme ":" as in "https://…", "mailto:…", "file:…"; a "host:port" has a digit after ":".
    const size_t colon = address.find(L':');
    if (colon == std::wstring::npos || colon == 0 || !std::iswalpha(address[0]))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        const wchar_t c = address[i];
        if (!std::iswalnum(c) && c != L'+' && c != L'-' && c != L'.')
            return false;
    }
    return colon + 1 < address.size() && !std::iswdigit(address[colon + 1]);
}

} // namespace

HostFunctions::HostFunctions(HostKeyStore& store, HostShell& shell, Clipboard& clipboard, Kbvirt& kbvirt,
                             HostWindow& window, std::function<void()> applyProfile)
    : store_(store), shell_(shell), clipboard_(clipboard), kbvirt_(kbvirt), window_(window),
      applyProfile_(std::move(applyProfile)) {}

std::wstring HostFunctions::AddressToOpen(const std::wstring& address) {
    if (address.empty() || HasScheme(address))
        return address;
    std::wstring result = address;
    if (result.find(L"www.") == std::wstring::npos)
        result = L"www." + result;
    return L"https://" + result;
}

void HostFunctions::RunHostFunction(int extraId) {
    KeyExtra extra;
    if (!store_.GetKeyExtra(extraId, extra))
        return;
    switch (extra.type) {
    case 8:
        shell_.StartProgram(extra.param);
        break;
    case 9:
        if (!extra.macro_desc.empty())
            shell_.OpenAddress(AddressToOpen(extra.macro_desc));
        break;
    case 10:
        if (!extra.macro_desc.empty())
            TypeText(extra.macro_desc);
        break;
    case 11: {
        wchar_t* end = nullptr;
        const long profile = std::wcstol(extra.param.c_str(), &end, 10);
        if (end == extra.param.c_str())
            return; // not a number: no profile to switch to
        window_.SwitchProfile(static_cast<int>(profile));
        // The switched-to profile's keys take effect at once.
        if (applyProfile_)
            applyProfile_();
        break;
    }
    default:
        break;
    }
}

void HostFunctions::TypeText(const std::wstring& text) {
    std::wstring previous;
    const bool hadText = clipboard_.GetText(previous);
    if (text.empty())
        clipboard_.Clear();
    else
        clipboard_.SetText(text);

    kbvirt_.SetKey(kCtrl, true);
    kbvirt_.SetKey(kV, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kbvirt_.SetKey(kV, false);
    kbvirt_.SetKey(kCtrl, false);

    // Give the application time to read the clipboard, then put back what it held.
    std::this_thread::sleep_for(pasteSettle_);
    if (hadText)
        clipboard_.SetText(previous);
    else
        clipboard_.Clear();
}

} // namespace kw
