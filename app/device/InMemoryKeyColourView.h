#pragma once

// A keyboard view without a window: the key items of a layout and their colours. Thread-safe.

#include "app/device/KeyColourView.h"
#include "app/device/ProductTypes.h"

#include <atomic>
#include <map>
#include <mutex>

namespace kw {

class InMemoryKeyColourView : public KeyColourView {
public:
    InMemoryKeyColourView() = default;
    explicit InMemoryKeyColourView(const std::vector<KeyItem>& keys);

    void SetKeys(const std::vector<KeyItem>& keys);
    void SetKeyColor(int code, uint32_t colour) override;
    void ResetAllItemsColor(uint32_t colour) override;
    std::vector<KeyColour> GetKeyItems() const override;
    void UpdateControl() override { updates_.fetch_add(1); }

    int Updates() const { return updates_.load(); }

private:
    mutable std::mutex mutex_;
    std::vector<KeyColour> items_;
    std::map<int, std::vector<size_t>> positions_; // key code -> its items
    std::atomic<int> updates_{0};
};

} // namespace kw
