#pragma once

// The keys of the lighting page's keyboard view as the lighting commands see them: every key item
// with its key code and current colour (red in bits 0-7, green 8-15, blue 16-23).

#include <cstdint>
#include <vector>

namespace kw {

struct KeyColour {
    int code = 0;
    uint32_t colour = 0;
    bool operator==(const KeyColour&) const = default;
};

class KeyColourView {
public:
    virtual ~KeyColourView() = default;

    // Every key item whose code is `code`.
    virtual void SetKeyColor(int code, uint32_t colour) = 0;
    virtual void ResetAllItemsColor(uint32_t colour) = 0;
    // The key items in their order.
    virtual std::vector<KeyColour> GetKeyItems() const = 0;
    // Redraws the view.
    virtual void UpdateControl() {}
};

} // namespace kw
