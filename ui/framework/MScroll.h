#pragma once

// A scroll bar: a position in 0..range moved by dragging its thumb or by steps. Reports a changed
// position with notification 8 (wParam = the new position).

#include "ui/framework/MControlFont.h"

namespace vellum {

class MScroll : public MControlFont {
public:
    MScroll(MObject* parent, unsigned id, CRect rect, bool vertical, int visible = 0);

    void SetRange(int range);
    int GetRange() const { return range_; }
    // Clamped to 0..range; returns true when it moved.
    bool SetPosition(int position);
    int GetPosition() const { return position_; }
    void SetStep(int step) { step_ = step; }
    int GetStep() const { return step_; }
    // Whether a new range puts the position back to 0.
    void SetResetOnRange(bool on) { resetOnRange_ = on; }
    bool GetResetOnRange() const { return resetOnRange_; }
    bool IsVertical() const { return vertical_; }
    // The thumb's rectangle in window coordinates.
    CRect ThumbRect() const;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlLButtonDown(unsigned keys, CPoint pt) override;
    int OnControlMouseMove(unsigned keys, CPoint pt) override;
    int OnControlLButtonUp(unsigned keys, CPoint pt) override;

private:
    int TrackLength() const;
    int ThumbLength() const;

    bool vertical_ = true;
    std::atomic<int> range_ = 0;
    std::atomic<int> position_ = 0;
    std::atomic<int> step_ = 20;
    bool resetOnRange_ = true;
    bool dragging_ = false;
    int dragStart_ = 0;
    int dragPosition_ = 0;
    int state_ = 0;
};

class CScrollVertical : public MScroll {
public:
    CScrollVertical(MObject* parent, unsigned id, CRect rect, int visible = 0)
        : MScroll(parent, id, rect, true, visible) {}
};

class CScrollHorizontal : public MScroll {
public:
    CScrollHorizontal(MObject* parent, unsigned id, CRect rect, int visible = 0)
        : MScroll(parent, id, rect, false, visible) {}
};

} // namespace vellum
