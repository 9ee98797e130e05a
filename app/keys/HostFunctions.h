#pragma once

// The key functions the host carries out itself: start a program (8), open an address (9), type
// a text (10), switch profile (11). User-interface thread.

#include "app/device/Kbvirt.h"
#include "app/keys/Clipboard.h"
#include "app/keys/HostKeyStore.h"
#include "app/keys/HostShell.h"
#include "app/keys/HostWindow.h"

#include <chrono>
#include <functional>
#include <string>

namespace kw {

class HostFunctions {
public:
    // `applyProfile` reloads the watched keys after a profile switch.
    HostFunctions(HostKeyStore& store, HostShell& shell, Clipboard& clipboard, Kbvirt& kbvirt,
                  HostWindow& window, std::function<void()> applyProfile);

    // The function of a t_key_otherdata row; a missing row does nothing.
    void RunHostFunction(int extraId);

    // Types `text` by putting it on the clipboard and pressing Ctrl+V on the virtual device;
    // the clipboard's previous text is put back afterwards.
    void TypeText(const std::wstring& text);

    // How long the pasting application has to read the clipboard before it is restored.
    void SetPasteSettleTime(std::chrono::milliseconds time) { pasteSettle_ = time; }

    // The address opened for a stored one: unchanged when it has a scheme; otherwise "www." is
    // put in front unless it contains "www." already, and it is opened as https. Empty stays empty.
    static std::wstring AddressToOpen(const std::wstring& address);

private:
    HostKeyStore& store_;
    HostShell& shell_;
    Clipboard& clipboard_;
    Kbvirt& kbvirt_;
    HostWindow& window_;
    std::function<void()> applyProfile_;
    std::chrono::milliseconds pasteSettle_{250};
};

} // namespace kw
