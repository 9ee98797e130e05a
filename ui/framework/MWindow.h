#pragma once

// A top-level window of the window layer. Subclasses override OnWindowMessage and the hooks; the
// window's messages arrive on the thread that created it.

#include "ui/framework/WinTypes.h"
#include "ui/framework/WindowTable.h"

#include <string>

namespace vellum {

class MWindow : public WindowProcedure {
public:
    static constexpr DWORD kDefaultStyle = 0x0000080B;

    MWindow();
    ~MWindow() override;
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    virtual const wchar_t* GetWindowClassName() const { return L"VellumClient"; }
    // A class this window's class copies; null for none.
    virtual const wchar_t* GetSuperClassName() const { return nullptr; }
    virtual int ShowWindow(int showCmd);
    virtual LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    virtual int PreTranslateMessage(MSG*) { return 0; }
    virtual int OnInitDialog() { return 1; }
    virtual void OnDestroyMessage(HWND) {}

    // Creates the window (or returns the existing handle). Null on failure.
    HWND Create(HWND parent);
    HWND Create(HWND parent, CRect rect);
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect);
    bool RegisterWindowClass();
    bool RegisterSuperClass();

    // Shows the window and runs a loop until it is destroyed or WM_QUIT arrives, with the owner
    // disabled meanwhile. Returns the wParam of the WM_CLOSE that closed it (0 when none came), or
    // (unsigned)-1 when the window does not exist. A WM_QUIT is posted again for the outer loop.
    unsigned ShowModal(int showCmd = SW_SHOWNORMAL);
    // Centres on `reference` (else the owner) when it is visible and not minimised, else on the work
    // area; keeps the window inside the work area. Size, Z order and activation are kept.
    void CenterWindow(MWindow* reference = nullptr);
    // Brings the window forward, restoring it when minimised.
    void BringToTop();
    void SetIcon(unsigned) {}

    // Thin wrappers; they do nothing when the window does not exist.
    HWND GetSafeHwnd() const { return hwnd_; }
    HWND GetParentHwnd() const { return parent_; }
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    bool ModifyExStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    bool SetWindowTextW(const std::wstring& text);
    std::wstring GetWindowTextW() const;
    int GetWindowTextLengthW() const { return static_cast<int>(GetWindowTextW().size()); }
    bool EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    bool IsWindowVisible() const;
    bool IsIconic() const;
    bool InvalidateRect(const CRect* rect, bool erase = false);
    HWND SetCapture();
    bool ReleaseCapture();
    HWND SetFocus();
    UINT SetTimer(UINT id, unsigned elapseMs);
    bool KillTimer(UINT id);
    bool ClientToScreen(CPoint& pt) const;
    bool ClientToScreen(CRect& rect) const;
    bool ScreenToClient(CPoint& pt) const;
    bool ScreenToClient(CRect& rect) const;
    bool SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
    bool MoveWindow(int x, int y, int width, int height, bool repaint = true);
    bool MoveWindow(const CRect& rect, bool repaint = true);
    bool DestroyWindow();
    LRESULT SendMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    bool PostMessageW(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    HWND hwnd_ = 0;
    HWND parent_ = 0;
};

} // namespace vellum
