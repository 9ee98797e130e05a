#include "ui/framework/WindowTable.h"

#include "ui/framework/MessageQueue.h"

#include <limits>

namespace vellum {

WindowTable& WindowTable::Get() {
    static WindowTable table;
    return table;
}

HWND WindowTable::Add(WindowRecord record) {
    std::lock_guard guard(lock_);
    record.hwnd = nextHandle_++;
    const HWND hwnd = record.hwnd;
    windows_.emplace(hwnd, std::move(record));
    return hwnd;
}

void WindowTable::Remove(HWND hwnd) {
    std::lock_guard guard(lock_);
    windows_.erase(hwnd);
    if (capture == hwnd) {
        capture = 0;
    }
    if (focus == hwnd) {
        focus = 0;
    }
    if (active == hwnd) {
        active = 0;
    }
}

bool WindowTable::With(HWND hwnd, const std::function<void(WindowRecord&)>& fn) {
    std::lock_guard guard(lock_);
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) {
        return false;
    }
    fn(it->second);
    return true;
}

WindowRecord WindowTable::Copy(HWND hwnd) {
    std::lock_guard guard(lock_);
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? WindowRecord{} : it->second;
}

std::vector<HWND> WindowTable::All() {
    std::lock_guard guard(lock_);
    std::vector<HWND> out;
    for (const auto& [hwnd, record] : windows_) {
        out.push_back(hwnd);
    }
    return out;
}

HWND WindowTable::TakePaint(const MessageQueue* queue, std::uint64_t now, std::uint64_t& nextDue) {
    std::lock_guard guard(lock_);
    nextDue = std::numeric_limits<std::uint64_t>::max();
    for (auto& [hwnd, r] : windows_) {
        if (r.queue.get() != queue || r.destroying || !r.visible || r.minimized || r.update.IsRectEmpty()) {
            continue;
        }
        if (r.paintNotBefore <= now) {
            return hwnd;
        }
        nextDue = std::min(nextDue, r.paintNotBefore);
    }
    return 0;
}

HWND WindowTable::TakeHover(const MessageQueue* queue, std::uint64_t now, std::uint64_t& nextDue, HWND filter,
                            bool remove) {
    std::lock_guard guard(lock_);
    nextDue = std::numeric_limits<std::uint64_t>::max();
    for (auto& [hwnd, r] : windows_) {
        if (r.queue.get() != queue || r.hoverDue == 0 || (filter != 0 && hwnd != filter)) {
            continue;
        }
        if (r.hoverDue <= now) {
            if (remove) {
                r.hoverDue = 0;
                r.tracking &= ~TME_HOVER;
            }
            return hwnd;
        }
        nextDue = std::min(nextDue, r.hoverDue);
    }
    return 0;
}

HWND WindowTable::Find(const std::wstring* className, const std::wstring* title) {
    std::lock_guard guard(lock_);
    for (const auto& [hwnd, r] : windows_) {
        if (r.destroying) {
            continue;
        }
        if ((!className || r.className == *className) && (!title || r.title == *title)) {
            return hwnd;
        }
    }
    return 0;
}

} // namespace vellum
