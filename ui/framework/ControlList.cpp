#include "ui/framework/ControlList.h"

#include "ui/framework/MControl.h"

#include <algorithm>

namespace vellum {

ControlList::ControlList() = default;

ControlList::~ControlList() = default;

MControl* ControlList::Add(std::unique_ptr<MControl> control) {
    MControl* raw = control.get();
    if (!raw) {
        return nullptr;
    }
    std::lock_guard guard(lock_);
    items_.push_back(std::move(control));
    return raw;
}

std::unique_ptr<MControl> ControlList::Take(const MControl* control) {
    std::lock_guard guard(lock_);
    auto it = std::find_if(items_.begin(), items_.end(), [&](auto& c) { return c.get() == control; });
    if (it == items_.end()) {
        return nullptr;
    }
    std::unique_ptr<MControl> taken = std::move(*it);
    items_.erase(it);
    return taken;
}

std::vector<std::unique_ptr<MControl>> ControlList::TakeAll() {
    std::vector<std::unique_ptr<MControl>> taken;
    std::lock_guard guard(lock_);
    taken.swap(items_);
    return taken;
}

void ControlList::Clear() {
    std::lock_guard guard(lock_);
    items_.clear();
}

std::vector<MControl*> ControlList::Snapshot() {
    std::lock_guard guard(lock_);
    std::vector<MControl*> out;
    for (auto& c : items_) {
        out.push_back(c.get());
    }
    return out;
}

MControl* ControlList::Find(unsigned id) {
    MControl* found = nullptr;
    FindFirst([&](MControl* c) {
        found = c->GetControlID() == id ? c : c->GetControl(id);
        return found != nullptr;
    });
    return found;
}

} // namespace vellum
