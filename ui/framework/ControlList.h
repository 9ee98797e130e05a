#pragma once

// One owned list of child controls and the lock that guards it. Controls and the window's paint
// manager each keep two of them (areas and controls). Every operation takes the lock for its whole
// run, so a walk may call into the children; the lock is recursive because children call back into
// their owner from such a walk. Walks go by position, so a list that grows during one stays valid.

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

namespace vellum {

class MControl;

class ControlList {
public:
    ControlList();
    ~ControlList();
    ControlList(const ControlList&) = delete;
    ControlList& operator=(const ControlList&) = delete;

    // Appends `control` (drawn above the ones before it) and returns it; null is not added.
    MControl* Add(std::unique_ptr<MControl> control);
    // Takes `control` out of the list; null when it is not in it.
    std::unique_ptr<MControl> Take(const MControl* control);
    // Takes every control out, leaving the list empty.
    std::vector<std::unique_ptr<MControl>> TakeAll();
    // Destroys every control while holding the lock.
    void Clear();
    std::vector<MControl*> Snapshot();
    // The control with `id` among these and their descendants, each entry before its children.
    MControl* Find(unsigned id);

    template <class Visit> void ForEach(Visit visit) {
        std::lock_guard guard(lock_);
        for (std::size_t i = 0; i < items_.size(); ++i) {
            visit(items_[i].get());
        }
    }

    // The first control, from the bottom, for which `test` (which may act on it) is true.
    template <class Test> MControl* FindFirst(Test test) {
        std::lock_guard guard(lock_);
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (test(items_[i].get())) {
                return items_[i].get();
            }
        }
        return nullptr;
    }

    // The first control, from the top, for which `test` is true.
    template <class Test> MControl* FindLast(Test test) {
        std::lock_guard guard(lock_);
        for (std::size_t i = items_.size(); i-- > 0;) {
            if (test(items_[i].get())) {
                return items_[i].get();
            }
        }
        return nullptr;
    }

    // Visits the controls that lie above `control` (every control when `all`); returns whether
    // `control` is in the list.
    template <class Visit> bool ForEachAbove(const MControl* control, bool all, Visit visit) {
        std::lock_guard guard(lock_);
        bool found = false;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (all || found) {
                visit(items_[i].get());
            }
            if (items_[i].get() == control) {
                found = true;
            }
        }
        return found;
    }

    // For owners that walk the list themselves; Items() only while holding Lock().
    std::recursive_mutex& Lock() { return lock_; }
    std::vector<std::unique_ptr<MControl>>& Items() { return items_; }

private:
    std::recursive_mutex lock_;
    std::vector<std::unique_ptr<MControl>> items_;
};

} // namespace vellum
