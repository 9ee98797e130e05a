#include "app/device/InMemoryKeyColourView.h"

namespace kw {

InMemoryKeyColourView::InMemoryKeyColourView(const std::vector<KeyItem>& keys) {
    SetKeys(keys);
}

void InMemoryKeyColourView::SetKeys(const std::vector<KeyItem>& keys) {
    std::lock_guard lock(mutex_);
    items_.clear();
    for (const KeyItem& key : keys) {
        items_.push_back({key.code, 0});
    }
}

void InMemoryKeyColourView::SetKeyColor(int code, uint32_t colour) {
    std::lock_guard lock(mutex_);
    for (KeyColour& item : items_) {
        if (item.code == code) {
            item.colour = colour;
        }
    }
}

void InMemoryKeyColourView::ResetAllItemsColor(uint32_t colour) {
    std::lock_guard lock(mutex_);
    for (KeyColour& item : items_) {
        item.colour = colour;
    }
}

std::vector<KeyColour> InMemoryKeyColourView::GetKeyItems() const {
    std::lock_guard lock(mutex_);
    return items_;
}

} // namespace kw
