#pragma once

// An INI file as the language files and the user settings use it: "[section]" headers and
// "key=value" lines. Names match without regard to ASCII case; values lose surrounding blanks and
// one pair of surrounding quotes. Lines the reader does not understand are kept when saving.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kw {

class IniFile {
public:
    // Reads the file (UTF-8 or UTF-16 with a byte-order mark). False when it cannot be read.
    bool Load(const std::filesystem::path& path);
    void Parse(const std::wstring& text);

    std::optional<std::wstring> Get(std::wstring_view section, std::wstring_view key) const;
    void Set(std::wstring_view section, std::wstring_view key, std::wstring_view value);

    std::wstring Text() const;
    // Writes UTF-8 beside the file and renames it over the old one.
    bool Save(const std::filesystem::path& path) const;

private:
    struct Line {
        std::wstring raw;
        std::wstring section; // the section this line belongs to
        std::wstring key;     // empty for headers, comments and blank lines
        std::wstring value;
    };
    std::vector<Line> lines_;
};

} // namespace kw
