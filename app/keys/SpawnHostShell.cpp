#include "app/keys/HostShell.h"

#include "app/device/ProcessRunner.h"
#include "ui/framework/TextConvert.h"

#include <filesystem>
#include <unistd.h>

namespace kw {

bool SpawnHostShell::StartProgram(const std::wstring& path) {
    if (path.empty())
        return false;
    std::string file = vellum::ToUtf8(path);
    std::error_code error;
    const bool hasFolder = file.find('/') != std::string::npos;
    if (hasFolder && std::filesystem::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0)
        return runner_.Start({file});
    if (!hasFolder && runner_.Start({file})) // a program on PATH
        return true;
    // A document or folder opens with its application; a leading "-" must not read as an option.
    if (file.front() == '-')
        file = "./" + file;
    return runner_.Start({"xdg-open", file});
}

bool SpawnHostShell::OpenAddress(const std::wstring& address) {
    if (address.empty())
        return false;
    std::string text = vellum::ToUtf8(address);
    if (text.front() == '-')
        return false;
    return runner_.Start({"xdg-open", text});
}

} // namespace kw
