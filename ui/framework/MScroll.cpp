#include "ui/framework/MScroll.h"

#include "ui/framework/MRender.h"
#include "ui/framework/PaintManager.h"

#include <algorithm>
#include <cstdint>

namespace vellum {

MScroll::MScroll(MObject* parent, unsigned id, CRect rect, bool vertical, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1), vertical_(vertical) {}

void MScroll::InitControl(PaintManager* manager) {
    if (manager) {
        SetImage(vertical_ ? manager->GetScrollVID() : manager->GetScrollHID(), L"PNG", 4);
    }
}

void MScroll::SetRange(int range) {
    range_ = std::max(0, range);
    if (resetOnRange_) {
        position_ = 0;
    } else {
        position_ = std::min(position_.load(), range_.load());
    }
}

bool MScroll::SetPosition(int position) {
    position = std::clamp(position, 0, std::max(0, range_.load()));
    return position_.exchange(position) != position;
}

int MScroll::TrackLength() const {
    const CRect r = GetRect();
    return vertical_ ? r.Height() : r.Width();
}

int MScroll::ThumbLength() const {
    const int track = TrackLength();
    const int range = range_;
    if (range <= 0) {
        return track;
    }
    // The track stands for the range; the visible part is the track itself.
    return std::clamp(track * track / std::max(range, 1), std::min(track, 20), track);
}

CRect MScroll::ThumbRect() const {
    const CRect r = GetRect();
    const int track = TrackLength();
    const int thumb = ThumbLength();
    const int range = range_;
    // In 64 bits: the free track times a large range does not fit an int.
    const int offset =
        range > 0 ? static_cast<int>(std::int64_t{track - thumb} * position_.load() / range) : 0;
    return vertical_ ? CRect(r.left, r.top + offset, r.right, r.top + offset + thumb)
                     : CRect(r.left + offset, r.top, r.left + offset + thumb, r.bottom);
}

void MScroll::DrawControl(HDC& hdc, CRect) {
    const CRect thumb = ThumbRect();
    if (GetImage()) {
        DrawImageSlice(hdc, IsEnabled() ? state_ : 3, thumb, 3);
    } else {
        const float radius = (vertical_ ? thumb.Width() : thumb.Height()) / 2.0f;
        MRender::DrawRoundRectange(hdc, thumb.left, thumb.top, thumb.Width(), thumb.Height(), radius,
                                   0x90A0A8B8);
    }
}

int MScroll::OnControlLButtonDown(unsigned, CPoint pt) {
    if (!IsEnabled()) {
        return 0;
    }
    const CRect thumb = ThumbRect();
    if (thumb.PtInRect(pt)) {
        dragging_ = true;
        dragStart_ = vertical_ ? pt.y : pt.x;
        dragPosition_ = position_;
        state_ = 2;
        UpdateControl(0, 0);
        return 1;
    }
    // A press on the track pages towards the point.
    const bool before = vertical_ ? pt.y < thumb.top : pt.x < thumb.left;
    if (SetPosition(position_ + (before ? -1 : 1) * std::max(1, TrackLength()))) {
        UpdateControl(0, 0);
        SendMessageW(8, static_cast<unsigned>(position_.load()), 0);
    }
    return 1;
}

int MScroll::OnControlMouseMove(unsigned, CPoint pt) {
    if (!dragging_) {
        const int state = ThumbRect().PtInRect(pt) ? 1 : 0;
        if (state != state_) {
            state_ = state;
            UpdateControl(0, 0);
        }
        return state;
    }
    const int free = TrackLength() - ThumbLength();
    if (free <= 0) {
        return 1;
    }
    const int moved = (vertical_ ? pt.y : pt.x) - dragStart_;
    const std::int64_t target = dragPosition_ + std::int64_t{moved} * range_.load() / free;
    if (SetPosition(static_cast<int>(std::clamp<std::int64_t>(target, 0, range_.load())))) {
        UpdateControl(0, 0);
        SendMessageW(8, static_cast<unsigned>(position_.load()), 0);
    }
    return 1;
}

int MScroll::OnControlLButtonUp(unsigned, CPoint pt) {
    const bool was = dragging_;
    dragging_ = false;
    state_ = ThumbRect().PtInRect(pt) ? 1 : 0;
    if (was) {
        UpdateControl(0, 0);
    }
    return was ? 1 : 0;
}

} // namespace vellum
