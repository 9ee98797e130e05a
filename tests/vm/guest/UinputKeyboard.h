#pragma once

// A keyboard made through /dev/uinput, standing for a physical keyboard in the checks.

#include <cstdint>
#include <string>

namespace kw::vmtest {

class UinputKeyboard {
public:
    UinputKeyboard(const std::string& name, uint16_t vid, uint16_t pid);
    ~UinputKeyboard();
    UinputKeyboard(const UinputKeyboard&) = delete;
    UinputKeyboard& operator=(const UinputKeyboard&) = delete;

    bool Created() const { return fd_ >= 0; }
    // One key event (value 1 press, 0 release, 2 autorepeat) followed by a sync.
    bool Key(int code, int value);

private:
    bool Emit(int type, int code, int value);
    int fd_ = -1;
};

} // namespace kw::vmtest
