#include "ui/framework/TextLayouts.h"

#include "ui/framework/TextConvert.h"

#include <atomic>
#include <map>
#include <pango/pangofc-fontmap.h>
#include <tuple>

namespace vellum {

namespace {

std::atomic<unsigned> g_fontGeneration{0};

using Key = std::tuple<std::wstring, int, int, std::wstring, int>;

struct ThreadCache {
    unsigned generation = ~0u;
    PangoContext* context = nullptr;
    std::map<Key, PangoLayout*> layouts;

    ~ThreadCache() {
        Clear();
        if (context) {
            g_object_unref(context);
            // The thread's font map goes with the thread.
            pango_cairo_font_map_set_default(nullptr);
        }
    }
    void Clear() {
        for (auto& [key, layout] : layouts) {
            g_object_unref(layout);
        }
        layouts.clear();
    }
};

ThreadCache& Cache() {
    thread_local ThreadCache cache;
    const unsigned generation = g_fontGeneration.load();
    if (!cache.context || cache.generation != generation) {
        cache.Clear();
        if (cache.context) {
            g_object_unref(cache.context);
        }
        PangoFontMap* map = pango_cairo_font_map_get_default();
        if (cache.generation != ~0u && PANGO_IS_FC_FONT_MAP(map)) {
            pango_fc_font_map_config_changed(PANGO_FC_FONT_MAP(map));
        }
        cache.context = pango_font_map_create_context(map);
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
        pango_cairo_context_set_font_options(cache.context, options);
        cairo_font_options_destroy(options);
        cache.generation = generation;
    }
    return cache;
}

} // namespace

std::string TextLayouts::FamilyList(const std::wstring& face) {
    std::string family = ToUtf8(face);
    if (!family.empty()) {
        family += ",";
    }
    return family + "Source Han Sans SC,Noto Sans CJK SC,DejaVu Sans,sans-serif";
}

PangoLayout* TextLayouts::Get(const TextStyle& style, const std::wstring& text, int width) {
    ThreadCache& cache = Cache();
    Key key{style.face, style.sizePx, style.style, text, width};
    if (auto it = cache.layouts.find(key); it != cache.layouts.end()) {
        return it->second;
    }
    if (cache.layouts.size() > 2048) {
        cache.Clear();
    }
    PangoLayout* layout = pango_layout_new(cache.context);
    PangoFontDescription* desc = pango_font_description_new();
    pango_font_description_set_family(desc, FamilyList(style.face).c_str());
    pango_font_description_set_absolute_size(desc, std::max(1, style.sizePx) * PANGO_SCALE);
    pango_font_description_set_weight(desc,
                                      (style.style & kFontBold) ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(desc,
                                     (style.style & kFontItalic) ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, desc);
    pango_font_description_free(desc);
    if (style.style & (kFontUnderline | kFontStrikeout)) {
        PangoAttrList* attrs = pango_attr_list_new();
        if (style.style & kFontUnderline) {
            pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        }
        if (style.style & kFontStrikeout) {
            pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        }
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    if (width >= 0) {
        pango_layout_set_width(layout, width * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    }
    const std::string utf8 = ToUtf8(text);
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    cache.layouts.emplace(std::move(key), layout);
    return layout;
}

void TextLayouts::FontsChanged() {
    ++g_fontGeneration;
}

} // namespace vellum
