#include "ui/framework/FontRegistry.h"

#include "ui/framework/TextConvert.h"
#include "ui/framework/TextLayouts.h"

#include <fontconfig/fontconfig.h>
#include <mutex>

namespace vellum {

namespace {

std::mutex& FcLock() {
    static std::mutex lock;
    return lock;
}

std::wstring FirstFamily(FcPattern* pattern) {
    std::wstring family;
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = FcFontList(nullptr, pattern, objects);
    if (set) {
        for (int i = 0; i < set->nfont && family.empty(); ++i) {
            FcChar8* name = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &name) == FcResultMatch && name) {
                family = FromUtf8(reinterpret_cast<const char*>(name));
            }
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    return family;
}

} // namespace

std::wstring FontRegistry::AddFontFile(const std::wstring& file) {
    const std::string path = ToUtf8(file);
    std::lock_guard guard(FcLock());
    if (!FcInit() || !FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(path.c_str()))) {
        return {};
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FILE, reinterpret_cast<const FcChar8*>(path.c_str()));
    std::wstring family = FirstFamily(pattern);
    FcPatternDestroy(pattern);
    TextLayouts::FontsChanged();
    return family;
}

std::wstring FontRegistry::InstalledFamily(const std::wstring& face) {
    if (face.empty()) {
        return {};
    }
    const std::string name = ToUtf8(face);
    std::lock_guard guard(FcLock());
    if (!FcInit()) {
        return {};
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    std::wstring family = FirstFamily(pattern);
    FcPatternDestroy(pattern);
    return family;
}

} // namespace vellum
