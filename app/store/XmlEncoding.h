#pragma once

// Byte-level side of XML files: deciding a file's encoding, turning its bytes into wide text and
// wide text back into the bytes of a named encoding. Every step appends an entry to a result log
// ("<read encoding=\"UTF-16LE\" length=\"42\"/>", "<conversion_loss/>", ...).

#include <string>
#include <string_view>

namespace kw::xml {

// The encoding named in the prologue: the XML declaration's `encoding`, or the charset of an
// HTML meta element with http-equiv "Content-Type". Empty when none is named.
std::string DeclaredEncoding(std::string_view bytes);

// Decides the encoding (byte-order mark, declared name, valid UTF-8, then `legacyEncoding`) and
// converts. `flags` receives the XmlDocument file flags that describe what was found.
std::wstring DecodeFileBytes(std::string_view bytes, const std::string& legacyEncoding, int& flags,
                             std::wstring& log);

// Converts to `encoding` (UTF-8 when empty). A UTF-16 encoding gets a byte-order mark; UTF-8 gets
// one only when `flags` asks for it. Characters the encoding cannot hold become '?' and are
// logged as "conversion_loss". False when iconv does not know the encoding.
bool EncodeText(std::wstring_view text, const std::string& encoding, int flags, std::string& out,
                std::wstring& log);

// iconv between two named encodings. Undecodable input becomes `replacement`; `lossy` tells
// whether that happened. False when the pair is unknown to iconv.
bool Iconv(std::string_view in, const char* from, const char* to, std::string_view replacement,
           std::string& out, bool& lossy);

void AppendLog(std::wstring& log, std::wstring_view entry, std::wstring_view attributes = {});

} // namespace kw::xml
