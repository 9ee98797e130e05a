#pragma once

// A push button for the gallery: four states (normal, hover, pressed, disabled) kept in a cache four
// widths wide. A state's slice is rendered the first time it is shown after the cache went stale and
// copied from then on. Uses the skin strip "btn_gallery.png"
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
    void RenderState(vellum::HDC& hdc, int state);

    std::atomic<int> state_ = 0;
    unsigned renderedStates_ = 0; // bit per state slice that is current in the cache
};

} // namespace kw::gallery
