#include "ui/framework/MControl.h"

#include "ui/framework/PaintManager.h"

#include <algorithm>

namespace vellum {

const wchar_t* const kCursorArrow = L"arrow";
const wchar_t* const kCursorWait = L"wait";
const wchar_t* const kCursorCross = L"cross";
const wchar_t* const kCursorSizeWE = L"sizewe";
const wchar_t* const kCursorSizeNS = L"sizens";
const wchar_t* const kCursorHand = L"hand";
const wchar_t* const kCursorHelp = L"help";

MControl::MControl(MObject* parent, unsigned id, CRect rect, int visible, int enabled, int response)
    : parent_(parent), id_(id), rect_(rect), visible_(visible ? 1 : 0), enabled_(enabled ? 1 : 0),
      response_(response ? 1 : 0) {}

MControl::~MControl() {
    if (PaintManager* manager = manager_.load()) {
        manager->ForgetControl(this, false);
    }
    areas_.Clear();
    controls_.Clear();
    if (cacheDC_) {
        cairo_destroy(cacheDC_);
    }
    if (cache_) {
        cairo_surface_destroy(cache_);
    }
    if (animationDC_) {
        cairo_destroy(animationDC_);
    }
    if (animation_) {
        cairo_surface_destroy(animation_);
    }
}

int MControl::PtInRect(CPoint pt) {
    return visible_ && GetRect().PtInRect(pt) ? 1 : 0;
}

int MControl::DrawSubControls(HDC& hdc, CRect clip) {
    controls_.ForEach([&](MControl* child) {
        if (child->IsVisible()) {
            child->Draw(hdc, clip);
        }
    });
    return 1;
}

void MControl::SetUpdate(int valid, unsigned long value) {
    cacheValid_ = valid;
    const CRect rect = GetRect();
    auto pass = [&](MControl* child) {
        if (child->GetRect().Intersects(rect)) {
            child->SetUpdate(valid, value);
        }
    };
    areas_.ForEach(pass);
    controls_.ForEach(pass);
}

int MControl::SetControlFocus(int focus) {
    if (!focus) {
        controls_.ForEach([](MControl* child) { child->SetControlFocus(0); });
    }
    return 0;
}

void MControl::SetControlRect(CRect rect) {
    std::lock_guard guard(rectLock_);
    rect_ = rect;
}

int MControl::OnControlSetCursor(unsigned, CPoint pt) {
    const int cursor = cursor_;
    if (cursor < 0 || !PtInRect(pt)) {
        return 0;
    }
    if (PaintManager* manager = GetManager()) {
        manager->SetCursor(static_cast<CursorShape>(cursor));
    }
    return 1;
}

int MControl::OnControlKeyDown(unsigned vk, unsigned, unsigned modifiers) {
    return accelKey_ != 0 && accelKey_ == vk && accelModifiers_ == modifiers ? 1 : 0;
}

void MControl::InvalidateRect(const CRect* rect, int erase) {
    PaintManager* manager = GetManager();
    if (!manager) {
        return;
    }
    if (manager->IsLayered()) {
        manager->Invalidate();
    } else {
        manager->InvalidateRect(rect ? *rect : GetRect(), erase);
    }
}

MControl* MControl::ChildAt(CPoint pt, bool needEnabled) {
    CPoint changed = pt;
    OnMousePointChange(changed);
    return controls_.FindLast([&](MControl* child) {
        const CPoint p = UsesRawPoint(child) ? pt : changed;
        return child->PtInRect(p) && child->IsVisible() && child->GetRresponse() &&
               (!needEnabled || child->IsEnabled());
    });
}

int MControl::OnMouseMove(unsigned keys, CPoint pt) {
    if (!visible_ || !response_) {
        return 0;
    }
    lastPoint_ = pt;
    CPoint changed = pt;
    OnMousePointChange(changed);
    MControl* hot = hot_;
    const bool hadHot = hot != nullptr;
    if (hot) {
        const CPoint p = UsesRawPoint(hot) ? pt : changed;
        if (hot->PtInRect(p) && hot->OnCheckMouseResponse(keys, p)) {
            return hot->OnMouseMove(keys, p);
        }
        if (pressedInside_) {
            hot->OnMouseMove(keys, p);
            return 1;
        }
    }
    hot_ = nullptr;
    PaintManager* manager = GetManager();
    if (manager && PtInRect(pt) && OnCheckMouseResponse(keys, pt) && manager->GetTooltipOwner() != id_) {
        const std::wstring tip = GetTooltip();
        if (!tip.empty()) {
            manager->SetTooltip(tip, GetRect());
            manager->SetTooltipOwner(id_);
        }
    }
    OnControlSetCursor(keys, changed);
    const int own = OnControlMouseMove(keys, changed);
    if (!pressedInside_) {
        controls_.ForEach([&](MControl* child) {
            const CPoint p = UsesRawPoint(child) ? pt : changed;
            if (child->OnMouseMove(keys, p) && child->PtInRect(p)) {
                hot_ = child;
            }
        });
    }
    return hot_ || hadHot ? 1 : own;
}

int MControl::RouteButton(UINT which, unsigned keys, CPoint pt) {
    if (!visible_ || !response_) {
        return 0;
    }
    lastPoint_ = pt;
    CPoint changed = pt;
    OnMousePointChange(changed);
    const bool down = which == WM_LBUTTONDOWN || which == WM_RBUTTONDOWN;
    const bool left = which == WM_LBUTTONDOWN || which == WM_LBUTTONUP;
    if (down) {
        pressedInside_ = GetRect().PtInRect(pt) ? 1 : 0;
        hot_ = ChildAt(pt, true);
    } else {
        pressedInside_ = 0;
    }
    if (MControl* hot = hot_) {
        const CPoint p = UsesRawPoint(hot) ? pt : changed;
        switch (which) {
        case WM_LBUTTONDOWN:
            return hot->OnLButtonDown(keys, p);
        case WM_RBUTTONDOWN:
            return hot->OnRButtonDown(keys, p);
        case WM_LBUTTONUP:
            return hot->OnLButtonUp(keys, p);
        default:
            return hot->OnRButtonUp(keys, p);
        }
    }
    if (down) {
        TakeFocus();
        return left ? OnControlLButtonDown(keys, changed) : OnControlRButtonDown(keys, changed);
    }
    return left ? OnControlLButtonUp(keys, changed) : OnControlRButtonUp(keys, changed);
}

int MControl::OnLButtonDown(unsigned keys, CPoint pt) {
    return RouteButton(WM_LBUTTONDOWN, keys, pt);
}
int MControl::OnLButtonUp(unsigned keys, CPoint pt) {
    return RouteButton(WM_LBUTTONUP, keys, pt);
}
int MControl::OnRButtonDown(unsigned keys, CPoint pt) {
    return RouteButton(WM_RBUTTONDOWN, keys, pt);
}
int MControl::OnRButtonUp(unsigned keys, CPoint pt) {
    return RouteButton(WM_RBUTTONUP, keys, pt);
}

int MControl::OnLButtonDblClk(unsigned keys, CPoint pt) {
    return RouteDblClk(true, keys, pt);
}

int MControl::OnRButtonDblClk(unsigned keys, CPoint pt) {
    return RouteDblClk(false, keys, pt);
}

int MControl::RouteDblClk(bool left, unsigned keys, CPoint pt) {
    if (!visible_ || !response_) {
        return 0;
    }
    if (!dblClk_ && !hot_) {
        // Without double clicks the second click is a press like the first.
        return RouteButton(left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, keys, pt);
    }
    CPoint changed = pt;
    OnMousePointChange(changed);
    if (MControl* hot = hot_) {
        const CPoint p = UsesRawPoint(hot) ? pt : changed;
        // A child that does not take double clicks sees a second press.
        if (left) {
            return hot->GetDblClk() ? hot->OnLButtonDblClk(keys, p) : hot->OnLButtonDown(keys, p);
        }
        return hot->GetDblClk() ? hot->OnRButtonDblClk(keys, p) : hot->OnRButtonDown(keys, p);
    }
    if (!left) {
        return OnControlRButtonDblClk(keys, changed);
    }
    if (GetRect().PtInRect(pt)) {
        CPoint where = pt;
        SendMessageW(3, keys, reinterpret_cast<long>(&where));
    }
    return OnControlLButtonDblClk(keys, changed);
}

int MControl::OnScroll(int bar, unsigned down, CPoint pt) {
    if (!visible_ || !response_ || !enabled_) {
        return 0;
    }
    CPoint changed = pt;
    OnMousePointChange(changed);
    if (MControl* hot = hot_) {
        const CPoint p = UsesRawPoint(hot) ? pt : changed;
        if (hot->PtInRect(p) && hot->OnCheckMouseResponse(0, p)) {
            return hot->OnScroll(bar, down, p);
        }
    }
    if (!GetRect().PtInRect(pt)) {
        return 0;
    }
    if (int handled = OnControlScroll(bar, down, changed)) {
        return handled;
    }
    int handled = 0;
    controls_.FindFirst([&](MControl* child) {
        const CPoint p = UsesRawPoint(child) ? pt : changed;
        return child->PtInRect(p) && (handled = child->OnScroll(bar, down, p)) != 0;
    });
    return handled;
}

int MControl::OnKeyDown(unsigned vk, unsigned repeat, unsigned modifiers) {
    if (!visible_ || !response_) {
        return 0;
    }
    // Down the chain of focused children; the list stays locked while the focused one handles the key.
    {
        std::lock_guard guard(controls_.Lock());
        MControl* focusedChild = controls_.FindFirst([](MControl* child) { return child->IsFocused(); });
        if (focusedChild && focusedChild->IsVisible() && focusedChild->GetRresponse()) {
            return focusedChild->OnKeyDown(vk, repeat, modifiers);
        }
    }
    if (MControl* hot = hot_; hot && hot->OnKeyDown(vk, repeat, modifiers)) {
        return 1;
    }
    if (OnControlKeyDown(vk, repeat, modifiers)) {
        SendMessageW(14, vk, static_cast<long>(modifiers));
        return 1;
    }
    MControl* handler = controls_.FindFirst(
        [&](MControl* child) { return child != hot_ && child->OnKeyDown(vk, repeat, modifiers); });
    return handler ? 1 : 0;
}

int MControl::OnTimer() {
    int result = OnControlTimer();
    controls_.ForEach([&](MControl* child) {
        if (child->IsRunTimer() && child->IsVisible() && child->OnTimer()) {
            result = 1;
        }
    });
    return result ? 1 : 0;
}

void MControl::Draw(HDC& hdc, CRect clip) {
    const CRect rect = GetRect();
    if (!visible_ || !rect.Intersects(clip)) {
        return;
    }
    areas_.ForEach([&](MControl* area) {
        if (area->GetRect().Intersects(rect)) {
            area->Draw(hdc, clip);
        }
    });
    DrawControl(hdc, clip);
    DrawSubControls(hdc, clip);
}

void MControl::SetManager(PaintManager* manager) {
    manager_ = manager;
    InitControl(manager);
    auto pass = [&](MControl* child) {
        if (!child->GetManager()) {
            child->SetManager(manager);
        }
    };
    areas_.ForEach(pass);
    controls_.ForEach(pass);
}

std::vector<MControl*> MControl::GetControls() {
    return controls_.Snapshot();
}

std::vector<MControl*> MControl::GetAreas() {
    return areas_.Snapshot();
}

MControl* MControl::GetControl(unsigned id) {
    MControl* found = controls_.Find(id);
    return found ? found : areas_.Find(id);
}

MControl* MControl::AddControl(std::unique_ptr<MControl> control, unsigned list) {
    if (!control || list > 1) {
        return nullptr;
    }
    MControl* raw = control.get();
    raw->SetParent(this);
    if (PaintManager* manager = GetManager(); manager && !raw->GetManager()) {
        raw->SetManager(manager);
    }
    return (list == 0 ? areas_ : controls_).Add(std::move(control));
}

void MControl::RemoveControl(MControl* control) {
    if (!control) {
        return;
    }
    if (PaintManager* manager = GetManager()) {
        manager->ForgetControl(control, true);
    }
    if (hot_ == control) {
        hot_ = nullptr;
    }
    if (!controls_.Take(control)) {
        areas_.Take(control);
    }
}

void MControl::RemoveAllControl() {
    hot_ = nullptr;
    for (ControlList* list : {&areas_, &controls_}) {
        for (auto& c : list->TakeAll()) {
            if (PaintManager* manager = GetManager()) {
                manager->ForgetControl(c.get(), true);
            }
        }
    }
}

CRect MControl::GetRect() const {
    std::lock_guard guard(rectLock_);
    return rect_;
}

void MControl::SetRect(CRect rect) {
    const CRect old = GetRect();
    SetControlRect(rect);
    if (visible_) {
        UpdateControl(CRect::Union(old, GetRect()), 1, 0);
    }
}

void MControl::SetVisible(int visible) {
    SetVisible(visible, 1);
}

void MControl::SetVisible(int visible, int repaint) {
    visible = visible ? 1 : 0;
    if (visible == visible_) {
        return;
    }
    SetControlVisible(visible);
    if (repaint) {
        UpdateControl(GetRect(), 1, 1);
    }
}

void MControl::SetEnabled(int enabled) {
    enabled = enabled ? 1 : 0;
    if (enabled == enabled_) {
        return;
    }
    SetControlEnabled(enabled);
    if (visible_) {
        UpdateControl(1, 0);
    }
}

int MControl::IsParentVisible() {
    MObject* parent = parent_;
    while (parent) {
        if (parent->IsClass(L"MDialog")) {
            return 1;
        }
        auto* control = dynamic_cast<MControl*>(parent);
        if (!control) {
            return 1;
        }
        if (!control->IsVisible()) {
            return 0;
        }
        parent = control->GetParantObject();
    }
    return 1;
}

bool MControl::IsFocusControl() {
    PaintManager* manager = GetManager();
    return manager && manager->GetFocusControl() == this;
}

int MControl::SetCursorEx(const wchar_t* name) {
    static const wchar_t* const names[] = {kCursorArrow,  kCursorWait, kCursorCross, kCursorSizeWE,
                                           kCursorSizeNS, kCursorHand, kCursorHelp};
    static const CursorShape shapes[] = {CursorShape::Arrow,  CursorShape::Wait,   CursorShape::Cross,
                                         CursorShape::SizeWE, CursorShape::SizeNS, CursorShape::Hand,
                                         CursorShape::Help};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        if (name == names[i]) {
            cursor_ = static_cast<int>(shapes[i]);
            return 1;
        }
    }
    return 0;
}

void MControl::SetTooltip(const wchar_t* text) {
    std::lock_guard guard(tooltipLock_);
    tooltip_ = text ? text : L"";
}

void MControl::SetTooltip(const std::wstring& text, CRect rect) {
    SetTooltip(text.c_str());
    if (PaintManager* manager = GetManager()) {
        manager->SetTooltip(text, rect);
        manager->SetTooltipOwner(id_);
    }
}

void MControl::ClearTooltip() {
    if (PaintManager* manager = GetManager()) {
        manager->ClearTooltip();
    }
}

std::wstring MControl::GetTooltip() const {
    std::lock_guard guard(tooltipLock_);
    return tooltip_;
}

void MControl::AddMTimer() {
    runTimer_ = 1;
    if (PaintManager* manager = GetManager()) {
        manager->AddMTimer(this);
    }
}

void MControl::UpdateControl(int redraw, int force) {
    UpdateControl(GetRect(), redraw, force);
}

void MControl::UpdateControl(CRect rect, int redraw, int force) {
    if ((visible_ || force) && parent_) {
        parent_->OnControlUpdate(rect, redraw, this);
    }
}

void MControl::UpdateAControl(int stop, int force) {
    animating_ = stop ? 0 : 1;
    if ((visible_ || force) && parent_) {
        parent_->OnControlUpdate(GetRect(), 0, this);
    }
}

long MControl::SendMessageW(unsigned code, unsigned wParam, long lParam) {
    return parent_ ? parent_->OnBaseMessage(id_, code, wParam, lParam) : 0;
}

namespace {

cairo_t* MakeSurface(cairo_surface_t*& surface, cairo_t*& dc, int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (surface && cairo_image_surface_get_width(surface) == width &&
        cairo_image_surface_get_height(surface) == height) {
        return dc;
    }
    if (dc) {
        cairo_destroy(dc);
    }
    if (surface) {
        cairo_surface_destroy(surface);
    }
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    dc = cairo_create(surface);
    return dc;
}

} // namespace

cairo_t* MControl::UpdateMemDC(HDC&, int width, int height) {
    cacheValid_ = 1;
    return MakeSurface(cache_, cacheDC_, width, height);
}

cairo_t* MControl::UpdateAnimateDC(HDC&, int width, int height) {
    animating_ = 1;
    return MakeSurface(animation_, animationDC_, width, height);
}

void MControl::TakeFocus() {
    if (PaintManager* manager = GetManager()) {
        manager->SetFocusControl(this);
    }
}

} // namespace vellum
