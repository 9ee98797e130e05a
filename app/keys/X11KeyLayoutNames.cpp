#include "app/keys/KeyLayoutNames.h"

#include "ui/framework/TextConvert.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <cctype>
#include <mutex>

namespace kw {

namespace {

std::mutex gDisplayMutex;

Display* SharedDisplay() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

} // namespace

const X11KeyLayoutNames& X11KeyLayoutNames::Instance() {
    static const X11KeyLayoutNames names;
    return names;
}

std::wstring X11KeyLayoutNames::KeyName(int evdevCode) const {
    if (evdevCode <= 0 || evdevCode > 247)
        return {};
    std::lock_guard lock(gDisplayMutex);
    Display* display = SharedDisplay();
    if (display == nullptr)
        return {};
    // X key codes are evdev codes plus 8.
    const KeySym keysym = XkbKeycodeToKeysym(display, static_cast<KeyCode>(evdevCode + 8), 0, 0);
    if (keysym == NoSymbol)
        return {};
    const char* text = XKeysymToString(keysym);
    if (text == nullptr)
        return {};
    std::string name = text;
    if (name.size() == 1)
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return vellum::FromUtf8(name);
}

} // namespace kw
