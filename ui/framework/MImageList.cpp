#include "ui/framework/MImageList.h"

#include "ui/framework/MRender.h"
#include "ui/framework/Manager.h"

#include <algorithm>

namespace vellum {

int MImageList::AddImage(const wchar_t* path, int id, int count) {
    return InsertImage(-1, path, id, count);
}

int MImageList::InsertImage(int index, const wchar_t* path, int id, int count) {
    if (!path || count <= 0) {
        return -1;
    }
    {
        std::lock_guard guard(lock_);
        if (index < -1 || index >= static_cast<int>(entries_.size())) {
            return -1;
        }
    }
    auto image = MRender::LoadImageFromFile(Manager::ResolveSkinFile(path));
    if (!image) {
        return -1;
    }
    Entry entry;
    entry.sliceWidth = image->Width() / count;
    entry.height = image->Height();
    entry.id = id;
    entry.count = count;
    entry.path = path;
    entry.image = std::move(image);
    std::lock_guard guard(lock_);
    if (index < 0 || index > static_cast<int>(entries_.size())) {
        entries_.push_back(std::move(entry));
        return static_cast<int>(entries_.size()) - 1;
    }
    entries_.insert(entries_.begin() + index, std::move(entry));
    return index;
}

void MImageList::DrawItemIcon(HDC hdc, const CRect& rect, int index) {
    DrawItemIcon(hdc, rect, index, 0);
}

void MImageList::DrawItemIcon(HDC hdc, const CRect& rect, int index, int state) {
    std::lock_guard guard(lock_);
    if (index < 0 || index >= static_cast<int>(entries_.size())) {
        return;
    }
    const Entry& e = entries_[index];
    const int slice = std::clamp(state, 0, e.count - 1);
    MRender::DrawImage(hdc, e.image.get(), rect, slice * e.sliceWidth, 0, e.sliceWidth, e.height);
}

const Image* MImageList::GetItemImageData(int index) {
    std::lock_guard guard(lock_);
    return index >= 0 && index < static_cast<int>(entries_.size()) ? entries_[index].image.get() : nullptr;
}

const Image* MImageList::GetImageDataByID(int id) {
    std::lock_guard guard(lock_);
    for (auto& e : entries_) {
        if (e.id == id) {
            return e.image.get();
        }
    }
    return nullptr;
}

std::wstring MImageList::GetImagePath(int index) {
    std::lock_guard guard(lock_);
    return index >= 0 && index < static_cast<int>(entries_.size()) ? entries_[index].path : std::wstring();
}

std::wstring MImageList::GetImagePathByID(int id) {
    std::lock_guard guard(lock_);
    for (auto& e : entries_) {
        if (e.id == id) {
            return e.path;
        }
    }
    return {};
}

int MImageList::GetImageCount() {
    std::lock_guard guard(lock_);
    return static_cast<int>(entries_.size());
}

void MImageList::DelAllImages() {
    std::lock_guard guard(lock_);
    entries_.clear();
}

} // namespace vellum
