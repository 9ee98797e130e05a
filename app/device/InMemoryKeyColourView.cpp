#include "app/device/InMemoryKeyColourView.h"

namespace kw {

InMemoryKeyColourView::InMemoryKeyColourView(const std::vector<KeyItem>& keys) {
    SetKeys(keys);
}

void InMemoryKeyColourView::SetKeys(const std::vector<KeyItem>& keys) {
    std::lock_guard lock(mutex_);
    items_.clear();
    positions_.clear();
    for (const KeyItem& key : keys) {
        positions_[key.code].push_back(items_.size());
        items_.push_back({key.code, 0});
    }
}

void InMemoryKeyColourView::SetKeyColor(int code, uint32_t colour) {
    std::lock_guard lock(mutex_);
    if (const auto found = positions_.find(code); found != positions_.end()) {
        for (size_t position : found->second) {
            items_[position].colour = colour;
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
