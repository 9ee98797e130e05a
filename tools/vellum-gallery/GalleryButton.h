#pragma once

// A push button for the gallery: four states (normal, hover, pressed, disabled) rendered once into a
// cache four widths wide and copied slice by slice afterwards. Uses the skin strip "btn_gallery.png"
// when the window can load it, else draws rounded gradients. Reports 1 on press and 2 on click.

#include "ui/framework/MControlFont.h"

namespace kw::gallery {

class GalleryButton : public vellum::MControlFont {
public:
    GalleryButton(vellum::MObject* parent, unsigned id, vellum::CRect rect, const wchar_t* title);

    int GetState() const { return state_; }

    void InitControl(vellum::PaintManager* manager) override;
    void DrawControl(vellum::HDC& hdc, vellum::CRect clip) override;
    int OnControlMouseMove(unsigned keys, vellum::CPoint pt) override;
    int OnControlLButtonDown(unsigned keys, vellum::CPoint pt) override;
    int OnControlLButtonUp(unsigned keys, vellum::CPoint pt) override;
    void SetControlEnabled(int enabled) override;

private:
    void SetState(int state);
    void RenderStates(vellum::HDC& hdc);

    std::atomic<int> state_ = 0;
};

} // namespace kw::gallery
