#pragma once

// A list of image strips (each with its slice count and an id), drawn by index and state.

#include "ui/framework/Gdi.h"
#include "ui/framework/Image.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vellum {

class MImageList {
public:
    struct Entry {
        std::unique_ptr<Image> image;
        int sliceWidth = 0;
        int height = 0;
        int id = 0;
        int count = 1;
        std::wstring path;
    };

    // Appends an image from the skin folder (or an absolute path); returns its index, -1 for a null path
    // or a file that cannot be loaded.
    int AddImage(const wchar_t* path, int id, int count);
    // Inserts before `index` (-1 appends); -1 for a null path or an index outside -1..count-1.
    int InsertImage(int index, const wchar_t* path, int id, int count);
    // Slice 0 stretched over `rect`.
    void DrawItemIcon(HDC hdc, const CRect& rect, int index);
    // Slice min(state, count - 1).
    void DrawItemIcon(HDC hdc, const CRect& rect, int index, int state);
    const Image* GetItemImageData(int index);
    const Image* GetImageDataByID(int id);
    std::wstring GetImagePath(int index);
    std::wstring GetImagePathByID(int id);
    int GetImageCount();
    void DelAllImages();
    void SetDrawImgSize(CSize size) { drawSize_ = size; }
    CSize GetIconSize() const { return drawSize_; }

private:
    std::mutex lock_;
    std::vector<Entry> entries_;
    CSize drawSize_;
};

} // namespace vellum
