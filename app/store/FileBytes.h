#pragma once

// Whole-file reads with a size bound, and writes that never leave half a file behind.

#include <cstddef>
#include <filesystem>
#include <string>

namespace kw {

enum class ReadStatus { kOk, kMissing, kNotRegular, kTooLarge, kUnreadable };

// Reads a regular file of at most `maxBytes` bytes.
ReadStatus ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes);
const wchar_t* ReadStatusText(ReadStatus status);

// Writes a temporary file beside `path`, flushes it to disk and renames it over `path`.
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes);

} // namespace kw
