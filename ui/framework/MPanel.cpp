#include "ui/framework/MPanel.h"

#include "ui/framework/ControlFactory.h"
#include "ui/framework/PaintManager.h"

namespace vellum {

MPanel::MPanel(MObject* parent, unsigned id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1) {
    SetDblClk(1);
    vertical_ = static_cast<CScrollVertical*>(AddControl(std::make_unique<CScrollVertical>(
        this, kVerticalBarId, CRect(rect.right - kScrollThickness, rect.top, rect.right, rect.bottom), 0)));
    horizontal_ = static_cast<CScrollHorizontal*>(AddControl(std::make_unique<CScrollHorizontal>(
        this, kHorizontalBarId, CRect(rect.left, rect.bottom - kScrollThickness, rect.right, rect.bottom),
        0)));
}

MControl* MPanel::CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* text, int a,
                             int b) {
    return CreateControl(0, this, className, id, rect, text, a, b);
}

MControl* MPanel::CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* text, int a,
                                int b) {
    return CreateControl(1, this, className, id, rect, text, a, b);
}

MControl* MPanel::CreateControl(unsigned list, MObject* parent, const wchar_t* className, unsigned id,
                                CRect rect, const wchar_t* text, int a, int b) {
    // A list other than areas (0) or controls (1) would leave the new control without an owner.
    if (list > 1) {
        return nullptr;
    }
    std::unique_ptr<MControl> control =
        ControlFactory::CreatePanelControl(className, parent, id, rect, text, a, b);
    if (!control) {
        return nullptr;
    }
    MControl* raw = control.get();
    if (PaintManager* manager = GetManager()) {
        raw->SetManager(manager);
    }
    std::lock_guard guard(list == 0 ? AreasLock() : ControlsLock());
    (list == 0 ? Areas() : Controls()).push_back(std::move(control));
    return raw;
}

void MPanel::InitControl(PaintManager* manager) {
    initialized_ = 1;
    vertical_->SetManager(manager);
    horizontal_->SetManager(manager);
}

bool MPanel::IsScrolling() const {
    const CRect r = GetRect();
    return enableScroll_ && (virtualHeight_ > r.Height() || virtualWidth_ > r.Width());
}

CPoint MPanel::GetScrollOffset() const {
    const CRect r = GetRect();
    CPoint offset;
    if (virtualHeight_ > r.Height()) {
        const int range = vertical_->GetRange();
        offset.y = range > 0 ? (r.top + virtualHeight_ - r.bottom) * vertical_->GetPosition() / range : 0;
    }
    if (virtualWidth_ > r.Width()) {
        const int range = horizontal_->GetRange();
        offset.x = range > 0 ? (r.left + virtualWidth_ - r.right) * horizontal_->GetPosition() / range : 0;
    }
    return offset;
}

int MPanel::DrawSubControls(HDC& hdc, CRect clip) {
    if (!IsScrolling()) {
        return MControl::DrawSubControls(hdc, clip);
    }
    return 1;
}

void MPanel::DrawScrolledContent(HDC& hdc, CRect clip) {
    const CRect rect = GetRect();
    const CPoint offset = GetScrollOffset();
    CRect contentClip = CRect::Intersection(clip, rect);
    if (contentClip.IsRectEmpty()) {
        return;
    }
    cairo_save(hdc);
    PathRect(hdc, contentClip);
    cairo_clip(hdc);
    cairo_translate(hdc, -offset.x, -offset.y);
    contentClip.OffsetRect(offset.x, offset.y);
    {
        std::lock_guard guard(ControlsLock());
        for (auto& child : Controls()) {
            if (child.get() != vertical_ && child.get() != horizontal_ && child->IsVisible()) {
                child->Draw(hdc, contentClip);
            }
        }
    }
    cairo_restore(hdc);
    for (MControl* bar : {static_cast<MControl*>(vertical_), static_cast<MControl*>(horizontal_)}) {
        if (bar->IsVisible()) {
            bar->Draw(hdc, clip);
        }
    }
}

void MPanel::LayoutBars() {
    const CRect r = GetRect();
    {
        std::lock_guard guard(ControlsLock());
        const CRect v(r.right - kScrollThickness, r.top, r.right, r.bottom);
        const CRect h(r.left, r.bottom - kScrollThickness, r.right, r.bottom);
        vertical_->SetRect(v);
        horizontal_->SetRect(h);
    }
    const bool showV = virtualHeight_ > r.Height();
    if (showV) {
        vertical_->SetRange(virtualHeight_);
    }
    vertical_->SetVisible(showV ? 1 : 0);
    const bool showH = virtualWidth_ > r.Width();
    if (showH) {
        horizontal_->SetRange(virtualWidth_);
    }
    horizontal_->SetVisible(showH ? 1 : 0);
}

void MPanel::SetControlRect(CRect rect) {
    MControl::SetControlRect(rect);
    virtualWidth_ = 0;
    virtualHeight_ = 0;
    LayoutBars();
}

void MPanel::SetVirtualHeight(int height) {
    virtualHeight_ = std::max(0, height);
    LayoutBars();
    UpdateControl(1, 0);
}

void MPanel::SetVirtualWidth(int width) {
    virtualWidth_ = std::max(0, width);
    LayoutBars();
    UpdateControl(1, 0);
}

int MPanel::OnMousePointChange(CPoint& pt) {
    if (!IsScrolling()) {
        return 0;
    }
    const CPoint offset = GetScrollOffset();
    pt = pt + offset;
    return 1;
}

int MPanel::OnControlScroll(int, unsigned down, CPoint) {
    if (!enableScroll_ || virtualHeight_ < GetRect().Height()) {
        return 0;
    }
    if (vertical_->SetPosition(vertical_->GetPosition() + (down ? 1 : -1) * vertical_->GetStep())) {
        UpdateControl(1, 0);
        vertical_->UpdateControl(1, 0);
    }
    return 1;
}

long MPanel::OnControlUpdate(CRect rect, int redraw, MControl* control) {
    if (!control) {
        return 0;
    }
    if (redraw) {
        control->SetUpdate(0, 0);
    }
    const bool isBar = control == vertical_ || control == horizontal_;
    const CPoint offset = isBar ? CPoint() : GetScrollOffset();
    CRect dirty = rect;
    if (initialized_) {
        ChildControls().ForEachAbove(control, false, [&](MControl* child) {
            if (child->IsVisible() && child->GetRect().Intersects(rect)) {
                child->SetUpdate(0, 0);
                dirty = CRect::Union(dirty, child->GetRect());
            }
        });
    }
    dirty.OffsetRect(-offset.x, -offset.y);
    // Only the part inside the panel shows; the panel itself is repainted beneath its children.
    dirty = CRect::Intersection(dirty, GetRect());
    if (!dirty.IsRectEmpty()) {
        if (MObject* parent = GetParantObject()) {
            parent->OnControlUpdate(dirty, 0, this);
        } else {
            InvalidateRect(&dirty, 0);
        }
    }
    return 0;
}

long MPanel::OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
    return OnMessage(id, code, wParam, lParam);
}

long MPanel::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) {
    if (code == 8 && (id == kVerticalBarId || id == kHorizontalBarId)) {
        UpdateControl(1, 0);
    }
    MObject* parent = GetParantObject();
    return parent ? parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

void MPanel::SetControlVisible(int visible) {
    MControl::SetControlVisible(visible);
    SetControlWndVisible(visible);
}

void MPanel::SetControlEnabled(int enabled) {
    MControl::SetControlEnabled(enabled);
    for (MControl* child : GetControls()) {
        if (child->IsEnabled() != enabled) {
            child->SetControlEnabled(enabled);
            if (child->IsVisible()) {
                child->UpdateControl(1, 0);
            }
        }
    }
}

long MPanel::OnWindowMessage(unsigned msg, unsigned wParam, long lParam) {
    for (MControl* child : GetControls()) {
        if (child->OnWindowMessage(msg, wParam, lParam)) {
            return 1;
        }
    }
    return 0;
}

} // namespace vellum
