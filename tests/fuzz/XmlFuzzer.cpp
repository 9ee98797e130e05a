// Feeds arbitrary bytes through file decoding, parsing, cursor navigation, editing and writing.
// Besides crashes, leaks and undefined behaviour it checks one property: a document that parsed
// without error and was then edited is still well-formed when its text is parsed again.

#include "app/store/XmlDocument.h"
#include "app/store/XmlEncoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::wstring NameFrom(const uint8_t*& data, size_t& size) {
    static const wchar_t* const kNames[] = {L"",    L"config", L"keyboard", L"mode",
                                            L"key", L"item",   L"a",        L"r"};
    if (size == 0) {
        return L"item";
    }
    const uint8_t pick = *data++;
    --size;
    return kNames[pick % (sizeof kNames / sizeof kNames[0])];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::wstring log;
    int flags = 0;
    const std::wstring text = kw::xml::DecodeFileBytes(bytes, (size & 1) ? "GBK" : "CP1252", flags, log);

    kw::XmlDocument doc(text);
    const bool wellFormed = doc.IsWellFormed();

    // Walk with the input's own bytes as the script of cursor moves.
    const uint8_t* script = data;
    size_t left = size < 256 ? size : 256;
    int depth = 0;
    while (left > 0) {
        const uint8_t op = *script++;
        --left;
        switch (op % 7) {
        case 0:
            doc.FindElem(NameFrom(script, left));
            break;
        case 1:
            depth += doc.IntoElem() ? 1 : 0;
            break;
        case 2:
            depth -= doc.OutOfElem() ? 1 : 0;
            break;
        case 3:
            (void)doc.GetAttrib(NameFrom(script, left));
            break;
        case 4:
            // A second element at the top would be a second root: only add inside the root.
            if (depth > 0) {
                doc.AddElem(NameFrom(script, left).empty() ? L"added" : L"n");
            }
            break;
        case 5:
            doc.SetAttrib(L"v", std::wstring(L"<&>\"'\t\n") + static_cast<wchar_t>(op));
            break;
        case 6:
            (void)doc.GetTagName();
            break;
        }
    }
    if (depth < 0) {
        std::abort();
    }

    const std::wstring written = doc.GetDoc();
    kw::XmlDocument again(written);
    if (wellFormed && !again.IsWellFormed()) {
        std::abort(); // editing a sound document produced text that no longer parses
    }
    std::string encoded;
    std::wstring saveLog;
    kw::xml::EncodeText(written, (size & 2) ? "UTF-16" : "UTF-8", 0, encoded, saveLog);
    return 0;
}
