#pragma once

// A plain background rectangle: an opaque fill, a fill blended over what lies beneath with a vertical
// opacity ramp, or a fill with a thin frame.

#include "ui/framework/MControl.h"

namespace vellum {

class CArea : public MControl {
public:
    CArea(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1);

    void SetColor(COLORREF fill);
    COLORREF GetColor() const { return fill_; }
    // `start` and `end` are the transparency percents at the top and the bottom (default 80 and 80).
    void SetTransparent(int start, int end, COLORREF fill);
    // Drawn as a frame of `frame` (ARGB) around the fill when the ramp ends are both 0.
    void SetFrame(int on, ARGB frame = 0xFF050505, int width = 1);

    void DrawControl(HDC& hdc, CRect clip) override;

private:
    std::atomic<COLORREF> fill_ = 0x00FFFFFF;
    std::atomic<bool> transparent_ = false;
    std::atomic<int> rampStart_ = 80;
    std::atomic<int> rampEnd_ = 80;
    std::atomic<int> frameOn_ = 0;
    std::atomic<ARGB> frame_ = 0xFF050505;
    std::atomic<int> frameWidth_ = 1;
};

} // namespace vellum
