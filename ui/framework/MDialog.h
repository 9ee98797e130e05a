#pragma once

// A window that hosts controls: a PaintManager, the hooks a program overrides (InitUI, UISize,
// OnMessage, the message handlers) and the close protocol of modal dialogs: DoOK ... DoNo post
// message 1090 with the result code, OnUserCloseWindow turns it into WM_CLOSE, ShowModal returns it.

#include "ui/framework/MObject.h"
#include "ui/framework/MWindow.h"
#include "ui/framework/PaintManager.h"
#include "ui/framework/WindowApi.h"

namespace vellum {

class MDialog : public MWindow, public MObject {
public:
    MDialog();
    ~MDialog() override;

    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
    long OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    long OnControlUpdate(CRect rect, int redraw, MControl* control) override;

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int PreTranslateMessage(MSG* msg) override;
    int OnInitDialog() override;
    void OnDestroyMessage(HWND hwnd) override;

    // Hooks.
    virtual CPoint GetAirBladderPoint(MControl* control, unsigned side);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(CRect) {}
    virtual void UISize(CRect) {}
    virtual long OnMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wParam*/, long /*lParam*/) {
        return 0;
    }
    virtual long OnUserCloseWindow(unsigned wParam, long lParam);
    virtual int OnCreate(CREATESTRUCTW* cs);
    virtual int OnSize(unsigned type, int cx, int cy);
    virtual int OnMouseMove(unsigned, int, int) { return 0; }
    virtual int OnMouseLeave() { return 0; }
    virtual int OnMouseHover(unsigned, int, int) { return 0; }
    virtual int OnMouseWheel(unsigned, int, int) { return 0; }
    virtual int OnLButtonDown(unsigned, int, int) { return 0; }
    virtual int OnLButtonUp(unsigned, int, int) { return 0; }
    virtual int OnLButtonDblClk(unsigned, int, int) { return 0; }
    virtual int OnRButtonDown(unsigned, int, int) { return 0; }
    virtual int OnRButtonUp(unsigned, int, int) { return 0; }
    virtual int OnRButtonDblClk(unsigned, int, int) { return 0; }
    virtual int OnKeyDown(unsigned, unsigned, unsigned) { return 0; }
    virtual int OnNcHitTest(int, int) { return 0; }
    virtual int OnGetMinMaxInfo(MINMAXINFO*) { return 0; }
    virtual int OnNcCalcSize() { return 0; }
    virtual int OnNcActivate(int) { return 0; }
    virtual int OnWindowPosChanging() { return 1; }
    virtual int OnWindowPosChanged() { return 1; }
    virtual int OnPaint() { return 0; }
    virtual int OnTimer(unsigned) { return 0; }
    virtual int OnNcPaint() { return 0; }
    virtual int OnClose() { return 1; }
    virtual int OnDestroy() { return 0; }
    // After the window is gone; a dialog made with new may delete itself here.
    virtual void PostNcDestroy() {}

    // Controls.
    MControl* CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* text = L"",
                         int a = 1, int b = 1);
    MControl* CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* text = L"",
                            int a = 1, int b = 1);
    // A control made with its constructor joins the control list (1) or area list (0).
    MControl* AddControl(std::unique_ptr<MControl> control, unsigned list = 1);
    MControl* GetControl(unsigned id) { return paint_.GetControl(id); }
    std::vector<MControl*> GetControls() { return paint_.GetControls(); }
    void SetFocusControl(MControl* control) { paint_.SetFocusControl(control); }
    PaintManager& GetPaintManager() { return paint_; }

    // Painting and overlay (see PaintManager).
    unsigned SetMTimer(unsigned periodMs) { return paint_.SetMTimer(periodMs); }
    void KillMTimer(unsigned id) { paint_.KillMTimer(id); }
    int LoadBKImage(const std::wstring& file) { return paint_.LoadBKImage(file); }
    int LoadBKImage(unsigned resourceId, const std::wstring& type) {
        return paint_.LoadBKImage(resourceId, type);
    }
    void SetBackMode(enumBackMode mode, int corner) { paint_.SetBackMode(mode, corner); }
    void SetScrollResID(unsigned vertical, unsigned horizontal) {
        paint_.SetScrollResID(vertical, horizontal);
    }
    void SetLayeredWindow(int layered) { paint_.SetLayeredWindow(layered); }
    void SetMessage(const std::wstring& text, CRect rect, MsgLevel level) {
        paint_.SetMessage(text, rect, level);
    }
    void SetProgress(int percent, const std::wstring& text, CRect rect) {
        paint_.SetProgress(percent, text, rect);
    }
    void EnableWndDrag(int on) { paint_.SetWindowDrag(on); }
    void SetTooltip(const std::wstring& text, CRect rect) { paint_.SetTooltip(text, rect); }
    void ClearTooltip() { paint_.ClearTooltip(); }

    // Translucency applied at each size change: an opacity below 255 makes the window layered with that
    // constant opacity; otherwise a colour key other than 0x00FFFFFF is kept for the window.
    void SetOpacity(int opacity) { opacity_ = opacity; }
    int GetOpacity() const { return opacity_; }
    void SetColorKey(COLORREF key) { colorKey_ = key; }
    COLORREF GetColorKey() const { return colorKey_; }
    CRect GetCachedClientRect() const { return client_; }

    // Close protocol: post message 1090 with IDOK, IDCANCEL, IDCANCEL, IDYES, IDNO.
    void DoOK() { PostMessageW(WM_USER_CLOSE_WINDOW, IDOK, 0); }
    void DoCancel() { PostMessageW(WM_USER_CLOSE_WINDOW, IDCANCEL, 0); }
    void DoClose() { PostMessageW(WM_USER_CLOSE_WINDOW, IDCANCEL, 0); }
    void DoYes() { PostMessageW(WM_USER_CLOSE_WINDOW, IDYES, 0); }
    void DoNo() { PostMessageW(WM_USER_CLOSE_WINDOW, IDNO, 0); }

private:
    PaintManager paint_{this};
    CRect client_;
    COLORREF colorKey_ = 0x00FFFFFF;
    int opacity_ = 255;
    int messageOffset_ = 0;
};

} // namespace vellum
