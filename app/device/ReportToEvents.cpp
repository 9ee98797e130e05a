#include "app/device/ReportToEvents.h"

#include "app/device/HidUsageTable.h"

#include <algorithm>
#include <linux/input-event-codes.h>

namespace kw {

namespace {

// Report 2's button bits: left, right, middle, fourth, fifth.
constexpr std::array<int, 5> kButtons = {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE, BTN_SIDE, BTN_EXTRA};

} // namespace

std::vector<InputEventSpec> ReportToEvents::Translate(int reportId, std::span<const uint8_t> data) {
    std::vector<InputEventSpec> events;
    if (reportId == kKeyboardReportId && data.size() >= kKeyboardReportLength) {
        for (int usage = 0; usage < 256; ++usage) {
            const size_t byte = 1 + static_cast<size_t>(usage) / 8;
            const auto bit = static_cast<uint8_t>(1u << (usage % 8));
            const bool was = (keyboard_[byte] & bit) != 0;
            const bool is = (data[byte] & bit) != 0;
            const int code = EvdevCodeFromUsage(usage);
            if (was != is && code != 0)
                events.push_back({EV_KEY, code, is ? 1 : 0});
        }
        std::copy_n(data.begin(), kKeyboardReportLength, keyboard_.begin());
    } else if (reportId == kMouseReportId && !data.empty()) {
        for (size_t bit = 0; bit < kButtons.size(); ++bit) {
            const bool was = (buttons_ >> bit) & 1;
            const bool is = (data[0] >> bit) & 1;
            if (was != is)
                events.push_back({EV_KEY, kButtons[bit], is ? 1 : 0});
        }
        buttons_ = data[0];
    } else if (reportId == kConsumerReportId && data.size() >= kConsumerReportLength) {
        const int usage = data[0] | (data[1] << 8);
        if (usage != consumer_) {
            if (const int code = EvdevCodeFromConsumerUsage(consumer_))
                events.push_back({EV_KEY, code, 0});
            if (const int code = EvdevCodeFromConsumerUsage(usage))
                events.push_back({EV_KEY, code, 1});
            consumer_ = usage;
        }
    }
    if (!events.empty())
        events.push_back({EV_SYN, SYN_REPORT, 0});
    return events;
}

void ReportToEvents::Reset() {
    keyboard_.fill(0);
    buttons_ = 0;
    consumer_ = 0;
}

std::vector<int> ReportToEvents::KeyCodes() {
    std::vector<int> codes;
    for (int usage = 0; usage < 256; ++usage) {
        if (const int code = EvdevCodeFromUsage(usage))
            codes.push_back(code);
    }
    for (int value = 232; value <= 249; ++value) {
        if (const int code = EvdevCodeFromConsumerUsage(ConsumerUsageFromValue(value)))
            codes.push_back(code);
    }
    codes.insert(codes.end(), kButtons.begin(), kButtons.end());
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

} // namespace kw
