#pragma once

// A rectangular node of a window's control tree. It lives in the window's client coordinates, paints
// into the window's back buffer and gets the window's input through the routing shells (OnMouseMove,
// OnLButtonDown, ..., Draw), which call the virtual OnControl... hooks that subclasses override.
//
// A control owns the children of its two lists: areas (drawn before the control itself) and controls
// (drawn after it, later entries on top). Each list has its own lock because worker threads update
// controls while the window thread paints; every walk that routes, paints, times or removes holds it.

#include "ui/framework/ControlList.h"
#include "ui/framework/Gdi.h"
#include "ui/framework/MObject.h"
#include "ui/framework/WinTypes.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vellum {

class PaintManager;

// Names accepted by MControl::SetCursorEx; the pointer identity selects the cursor.
extern const wchar_t* const kCursorArrow;
extern const wchar_t* const kCursorWait;
extern const wchar_t* const kCursorCross;
extern const wchar_t* const kCursorSizeWE;
extern const wchar_t* const kCursorSizeNS;
extern const wchar_t* const kCursorHand;
extern const wchar_t* const kCursorHelp;

class MControl : public MObject {
public:
    MControl(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1, int response = 1);
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    const wchar_t* GetClassNameW() const override { return L"FSControl"; }

    // Hooks, in the order a control meets them.
    virtual void InitControl(PaintManager* /*manager*/) {}
    virtual int PtInRect(CPoint pt);
    virtual void DrawControl(HDC& hdc, CRect clip) = 0;
    virtual int DrawSubControls(HDC& hdc, CRect clip);
    virtual int IsDraw(CPoint) { return 0; }
    virtual void SetUpdate(int valid, unsigned long value);
    virtual int SetControlFocus(int focus);
    virtual void InitUI(CRect) {}
    virtual int OnMousePointChange(CPoint&) { return 0; }
    virtual int OnCheckMouseResponse(unsigned /*keys*/, CPoint) { return 1; }
    virtual long OnWindowMessage(unsigned /*msg*/, unsigned /*wParam*/, long /*lParam*/) { return 0; }
    virtual long OnMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wParam*/, long /*lParam*/) {
        return 0;
    }
    virtual void SetControlRect(CRect rect);
    virtual void SetControlVisible(int visible) { visible_ = visible; }
    virtual void SetControlWndVisible(int) {}
    virtual void SetControlEnabled(int enabled) { enabled_ = enabled; }
    virtual int OnControlTimer() { return 0; }
    virtual HBITMAP GetControlDropBitmap() { return nullptr; }
    virtual int OnControlMouseMove(unsigned, CPoint) { return 0; }
    virtual int OnControlSetCursor(unsigned keys, CPoint pt);
    virtual int OnControlLButtonDown(unsigned, CPoint) { return 0; }
    virtual int OnControlLButtonUp(unsigned, CPoint) { return 0; }
    virtual int OnControlLButtonDblClk(unsigned, CPoint) { return 0; }
    virtual int OnControlScroll(int /*bar*/, unsigned /*down*/, CPoint) { return 0; }
    virtual int OnControlRButtonDown(unsigned, CPoint) { return 0; }
    virtual int OnControlRButtonUp(unsigned, CPoint) { return 0; }
    virtual int OnControlRButtonDblClk(unsigned, CPoint) { return 0; }
    virtual int OnControlKeyDown(unsigned vk, unsigned repeat, unsigned modifiers);
    virtual void OnPositionChange() {}
    // Invalidates the host window: all of it on a layered window, else `rect` (or this control's rect).
    virtual void InvalidateRect(const CRect* rect, int erase);

    // Routing shells.
    int OnMouseMove(unsigned keys, CPoint pt);
    int OnLButtonDown(unsigned keys, CPoint pt);
    int OnLButtonUp(unsigned keys, CPoint pt);
    int OnLButtonDblClk(unsigned keys, CPoint pt);
    int OnRButtonDown(unsigned keys, CPoint pt);
    int OnRButtonUp(unsigned keys, CPoint pt);
    int OnRButtonDblClk(unsigned keys, CPoint pt);
    int OnScroll(int bar, unsigned down, CPoint pt);
    int OnKeyDown(unsigned vk, unsigned repeat, unsigned modifiers);
    int OnKeyUp(unsigned, unsigned, unsigned) { return 0; }
    int OnTimer();
    void Draw(HDC& hdc, CRect clip);

    // Attaching and lookup.
    void SetManager(PaintManager* manager);
    PaintManager* GetManager() const { return manager_.load(); }
    void SetParent(MObject* parent) { parent_ = parent; }
    MObject* GetParantObject() const { return parent_; }
    // A snapshot of the control list.
    std::vector<MControl*> GetControls();
    std::vector<MControl*> GetAreas();
    MControl* GetControl(unsigned id);
    // Adds a control made with its constructor to the control list (1) or the area list (0); the
    // parent takes ownership. Gives it this control's manager. Returns the control.
    MControl* AddControl(std::unique_ptr<MControl> control, unsigned list = 1);
    void RemoveControl(MControl* control);
    void RemoveAllControl();

    // Geometry and state.
    CRect GetRect() const;
    void SetRect(CRect rect);
    void SetRect(int x, int y, int width, int height) { SetRect(CRect(x, y, x + width, y + height)); }
    int IsVisible() const { return visible_; }
    void SetVisible(int visible);
    void SetVisible(int visible, int repaint);
    int IsEnabled() const { return enabled_; }
    void SetEnabled(int enabled);
    int IsParentVisible();
    unsigned GetControlID() const { return id_; }
    int IsTabStop() const { return tabStop_; }
    void SetTabStop(int on) { tabStop_ = on; }
    int IsDragDrop() const { return dragDrop_; }
    void SetDragDrop(int on) { dragDrop_ = on; }
    int GetRresponse() const { return response_; }
    void SetRresponse(int on) { response_ = on; }
    int GetDblClk() const { return dblClk_; }
    void SetDblClk(int on) { dblClk_ = on; }
    int IsFocused() const { return focused_; }
    int IsKeyDown() const { return keyDown_; }
    int IsPressedInside() const { return pressedInside_; }
    bool IsFocusControl();
    virtual MControl* GetFocusControl() { return nullptr; }
    virtual MControl* GetNextFocusableControl() { return nullptr; }
    virtual MControl* GetPrevFocusableControl() { return nullptr; }
    virtual void SetTooltipCtrlID(unsigned) {}
    virtual unsigned GetTooltipCtrlID() { return 0; }
    void SetAccelerator(unsigned vk, unsigned modifiers) {
        accelKey_ = vk;
        accelModifiers_ = modifiers;
    }
    int GetUpdate() const { return cacheValid_; }
    int IsRunTimer() const { return runTimer_; }
    void SetRunTimer(int on) { runTimer_ = on; }
    int IsAnimating() const { return animating_; }
    void UseImageECM(int on) { imageECM_ = on; }
    MControl* GetHotControl() const { return hot_; }

    // Cursor and tooltip.
    int SetCursorEx(const wchar_t* name);
    void SetTooltip(const wchar_t* text);
    void SetTooltip(const std::wstring& text, CRect rect);
    void ClearTooltip();
    std::wstring GetTooltip() const;

    // Takes part in the window's animation tick from now on.
    void AddMTimer();

    // Repaint requests: each is parent->OnControlUpdate(rect, redraw, this).
    void UpdateControl(int redraw = 1, int force = 0);
    void UpdateControl(CRect rect, int redraw, int force);
    void UpdateAControl(int stop, int force);

    // Sends a notification to the parent; returns its answer.
    long SendMessageW(unsigned code, unsigned wParam = 0, long lParam = 0);

protected:
    // The control's own picture: (re)made only when the size changed; marks the cache valid.
    // Returns the cache context (owned by the control).
    cairo_t* UpdateMemDC(HDC& hdc, int width, int height);
    cairo_t* UpdateAnimateDC(HDC& hdc, int width, int height);
    cairo_surface_t* CacheSurface() const { return cache_; }
    cairo_surface_t* AnimationSurface() const { return animation_; }
    void MarkCacheValid(int valid) { cacheValid_ = valid; }
    void SetTicked(int on) { ticked_ = on; }

    std::recursive_mutex& AreasLock() { return areas_.Lock(); }
    std::recursive_mutex& ControlsLock() { return controls_.Lock(); }
    // Must hold the matching lock.
    std::vector<std::unique_ptr<MControl>>& Areas() { return areas_.Items(); }
    std::vector<std::unique_ptr<MControl>>& Controls() { return controls_.Items(); }
    ControlList& ChildControls() { return controls_; }
    // Moves the window focus to this control.
    void TakeFocus();
    CPoint LastMousePoint() const { return lastPoint_; }

private:
    MControl* ChildAt(CPoint pt, bool needEnabled);
    static bool UsesRawPoint(const MControl* child) {
        return child->GetControlID() == 1 || child->GetControlID() == 2;
    }
    int RouteButton(UINT which, unsigned keys, CPoint pt);
    int RouteDblClk(bool left, unsigned keys, CPoint pt);

    MObject* parent_ = nullptr;
    std::atomic<PaintManager*> manager_ = nullptr;
    unsigned id_ = 0;
    mutable std::mutex rectLock_;
    CRect rect_;
    std::atomic<int> visible_ = 1;
    std::atomic<int> enabled_ = 1;
    std::atomic<int> dragDrop_ = 0;
    std::atomic<int> response_ = 1;
    std::atomic<int> tabStop_ = 0;
    std::atomic<int> dblClk_ = 0;
    std::atomic<int> pressedInside_ = 0;
    std::atomic<int> keyDown_ = 0;

protected:
    std::atomic<int> focused_ = 0;
    std::atomic<unsigned> accelKey_ = 0;
    std::atomic<unsigned> accelModifiers_ = 0;

private:
    std::atomic<int> cacheValid_ = 0;
    std::atomic<int> animating_ = 0;
    std::atomic<int> runTimer_ = 0;
    std::atomic<int> ticked_ = 0;
    std::atomic<int> imageECM_ = 0;
    ControlList areas_;
    ControlList controls_;
    std::atomic<MControl*> hot_ = nullptr;
    cairo_surface_t* cache_ = nullptr;
    cairo_t* cacheDC_ = nullptr;
    cairo_surface_t* animation_ = nullptr;
    cairo_t* animationDC_ = nullptr;
    mutable std::mutex tooltipLock_;
    std::wstring tooltip_;
    std::atomic<int> cursor_ = -1; // CursorShape, -1 = leave the cursor alone
    CPoint lastPoint_;
};

} // namespace vellum
