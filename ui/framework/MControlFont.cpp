#include "ui/framework/MControlFont.h"

#include "ui/framework/MRender.h"
#include "ui/framework/Manager.h"
#include "ui/framework/PaintManager.h"

namespace vellum {

MControlFont::MControlFont(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                           int enabled, int response)
    : MControl(parent, id, rect, visible, enabled, response), title_(title ? title : L""),
      fontName_(Manager::GetFontName()), fontSize_(Manager::GetFontWidth()) {}

void MControlFont::SetTextFont(const std::wstring& face) {
    {
        std::lock_guard guard(textLock_);
        fontName_ = face;
    }
    UpdateControl(1, 0);
}

void MControlFont::SetTextColor(ARGB color) {
    textColor_ = color;
    UpdateControl(1, 0);
}

void MControlFont::UseImage(Image* image, int count) {
    image_ = image;
    imageWidth_ = image->Width() / count;
    imageHeight_ = image->Height();
    imageCount_ = count;
    UpdateControl(1, 0);
}

int MControlFont::SetImage(unsigned resourceId, const std::wstring& type, int count) {
    PaintManager* manager = GetManager();
    if (!manager || count <= 0) {
        return 0;
    }
    ImgResInfo* info = manager->AddImgResInfo(resourceId, type, count);
    if (!info) {
        return 0;
    }
    UseImage(info->image.get(), count);
    return 1;
}

int MControlFont::SetImage(const wchar_t* file, int count) {
    PaintManager* manager = GetManager();
    if (!manager || !file || count <= 0) {
        return 0;
    }
    ImgResInfo* info = manager->AddImgResInfo(file, count);
    if (!info) {
        return 0;
    }
    {
        std::lock_guard guard(textLock_);
        imagePath_ = file;
    }
    UseImage(info->image.get(), count);
    return 1;
}

void MControlFont::SetControlTitle(const wchar_t* title) {
    std::lock_guard guard(textLock_);
    title_ = title ? title : L"";
}

std::wstring MControlFont::GetControlTitle() const {
    std::lock_guard guard(textLock_);
    return title_;
}

void MControlFont::SetTitle(const wchar_t* title) {
    SetControlTitle(title);
    UpdateControl(1, 0);
}

void MControlFont::SetAlignment(unsigned h) {
    if (hAlign_.exchange(h) != h) {
        UpdateControl(1, 0);
    }
}

void MControlFont::SetVAlignment(unsigned v) {
    if (vAlign_.exchange(v) != v) {
        UpdateControl(1, 0);
    }
}

void MControlFont::SetAlignment(unsigned h, unsigned v) {
    const bool changed = hAlign_.exchange(h) != h;
    if ((vAlign_.exchange(v) != v) || changed) {
        UpdateControl(1, 0);
    }
}

void MControlFont::SetFont(const std::wstring& face, int sizePx, int style) {
    {
        std::lock_guard guard(textLock_);
        fontName_ = face;
    }
    fontSize_ = sizePx;
    fontStyle_ = style;
    UpdateControl(1, 0);
}

std::wstring MControlFont::GetTextFont() const {
    std::lock_guard guard(textLock_);
    return fontName_;
}

void MControlFont::SetFontStyle(int style) {
    fontStyle_ = style;
    UpdateControl(1, 0);
}

void MControlFont::SetFontWidth(int sizePx) {
    fontSize_ = sizePx;
    UpdateControl(1, 0);
}

TextStyle MControlFont::GetTextStyle() const {
    std::wstring face = GetTextFont();
    if (PaintManager* manager = GetManager()) {
        if (std::wstring family = manager->FindTempFont(face.c_str()); !family.empty()) {
            face = family;
        }
    }
    return TextStyle{face, fontSize_, fontStyle_};
}

void MControlFont::SetImageCount(int count) {
    if (count > 0) {
        imageCount_ = count;
        if (image_) {
            imageWidth_ = image_->Width() / count;
        }
    }
}

std::wstring MControlFont::GetImagePath() const {
    std::lock_guard guard(textLock_);
    return imagePath_;
}

void MControlFont::DrawImageSlice(cairo_t* cr, int index, const CRect& dst, int corner) const {
    if (!image_ || imageWidth_ <= 0) {
        return;
    }
    index = std::clamp(index, 0, std::max(0, imageCount_ - 1));
    if (corner > 0) {
        MRender::DrawImageFrame(cr, image_, dst, index * imageWidth_, 0, imageWidth_, imageHeight_, corner);
    } else {
        MRender::DrawImage(cr, image_, dst, index * imageWidth_, 0, imageWidth_, imageHeight_);
    }
}

} // namespace vellum
