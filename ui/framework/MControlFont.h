#pragma once

// A control with a title, a font, a text colour and a state image (a strip of side-by-side slices
// taken from the window's image cache).

#include "ui/framework/MControl.h"
#include "ui/framework/TextStyle.h"

#include <string>

namespace vellum {

class Image;

class MControlFont : public MControl {
public:
    MControlFont(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible = 1,
                 int enabled = 1, int response = 1);

    virtual void SetTextFont(const std::wstring& face);
    virtual void SetTextColor(ARGB color);
    // The image from the library's built-in pictures.
    virtual int SetImage(unsigned resourceId, const std::wstring& type, int count);
    // The image from the skin folder. 0 when the control has no window yet or the file cannot be loaded.
    virtual int SetImage(const wchar_t* file, int count);
    virtual void SetControlTitle(const wchar_t* title);
    virtual std::wstring GetControlTitle() const;

    void SetTitle(const wchar_t* title);
    std::wstring GetTitle() const { return GetControlTitle(); }
    void SetAlignment(unsigned h);
    void SetVAlignment(unsigned v);
    void SetAlignment(unsigned h, unsigned v);
    void GetAlignment(unsigned& h, unsigned& v) const {
        h = hAlign_;
        v = vAlign_;
    }
    void SetFont(const std::wstring& face, int sizePx, int style);
    std::wstring GetTextFont() const;
    void SetFontStyle(int style);
    int GetFontStyle() const { return fontStyle_; }
    void SetFontWidth(int sizePx);
    int GetFontWidth() const { return fontSize_; }
    void SetTextRenderingHint(int hint) { renderingHint_ = hint; }
    int GetTextRenderingHint() const { return renderingHint_; }
    ARGB GetTextColor() const { return textColor_; }
    // The face to draw with: the window's private font of that face when it has one.
    TextStyle GetTextStyle() const;
    void SetImageCount(int count);
    int GetImageCount() const { return imageCount_; }
    CSize GetImageSize() const { return {imageWidth_, imageHeight_}; }
    std::wstring GetImagePath() const;
    Image* GetImage() const { return image_; }

protected:
    // Draws slice `index` of the state image stretched over `dst`, or as a frame with `corner` sized corners.
    void DrawImageSlice(cairo_t* cr, int index, const CRect& dst, int corner = 0) const;

private:
    // Shows `image` cut into `count` state slices.
    void UseImage(Image* image, int count);

    mutable std::mutex textLock_;
    std::wstring title_;
    std::wstring fontName_;
    std::wstring imagePath_;
    std::atomic<int> fontSize_;
    std::atomic<ARGB> textColor_ = 0xFFFFFFFF;
    std::atomic<int> fontStyle_ = 0;
    std::atomic<unsigned> hAlign_ = kAlignLeft;
    std::atomic<unsigned> vAlign_ = kVAlignCenter;
    std::atomic<int> renderingHint_ = 5;
    Image* image_ = nullptr;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    std::atomic<int> imageCount_ = 4;
};

} // namespace vellum
