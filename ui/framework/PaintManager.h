#pragma once

// The control host of one window: its top-level control lists, how window messages become control
// input (routing, hover, capture, focus, keys), painting into one back buffer per paint, the image
// cache, private fonts, the message-box overlay, the caret, control timers and the animation tick.

#include "ui/framework/ControlList.h"
#include "ui/framework/Gdi.h"
#include "ui/framework/ImgResInfo.h"
#include "ui/framework/MObject.h"
#include "ui/framework/WinTypes.h"

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vellum {

class AnimationTimer;
class MControl;
class MWindow;
class ToolTipWindow;

// Background image modes: 0 at its own size at (0, 0), 1 as a frame over the client area.
enum enumBackMode { kBackModeNormal = 0, kBackModeFrame = 1 };
enum MsgLevel { kMsgInfo = 0, kMsgWarning = 1, kMsgError = 2 };

class PaintManager {
public:
    // Window timer ids of the overlay and the caret.
    static constexpr UINT kTimerMessageHold = 66;
    static constexpr UINT kTimerMessageFade = 88;
    static constexpr UINT kTimerProgress = 99;
    static constexpr UINT kTimerCaret = 6553;
    // Control timers take window timer ids from here on, kept apart from the ids above.
    static constexpr UINT kControlTimerBase = 0x10000;
    static constexpr COLORREF kDefaultBackColor = 0x00130D09;
    static constexpr COLORREF kDefaultBorderColor = 0x00FDA810;

    // `owner` is what top-level controls see as their parent (the dialog's MObject side).
    explicit PaintManager(MObject* owner = nullptr);
    ~PaintManager();
    PaintManager(const PaintManager&) = delete;
    PaintManager& operator=(const PaintManager&) = delete;

    void Init(HWND hwnd, MWindow* window);
    // Releases controls, timers, images and fonts (at WM_NCDESTROY).
    void DestroyData();
    bool IsInitialized() const { return initialized_; }
    HWND GetPaintWnd() const { return hwnd_; }
    MWindow* GetMDialog() const { return window_; }
    MObject* GetOwner() const { return owner_; }
    void SetOwner(MObject* owner) { owner_ = owner; }

    // Window messages; a non-zero result means handled.
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Tab navigation and tooltip relay; 1 when the message is consumed.
    int PreTranslateMessage(const MSG& msg);

    // The window's controls.
    MControl* CreateArea(MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                         const wchar_t* text, int a, int b);
    MControl* CreateControl(MObject* parent, const wchar_t* className, unsigned id, CRect rect,
                            const wchar_t* text, int a, int b);
    // Adds a control made with its constructor (list 0 areas, 1 controls); the window owns it.
    MControl* AddControl(std::unique_ptr<MControl> control, unsigned list = 1);
    MControl* GetControl(unsigned id);
    void RemoveControl(MControl* control);
    // Drops every reference the window keeps to a control that is about to go (focus, hover, tooltip
    // owner, caret, timers, animation tick). `notify` tells a focused control that it lost the focus.
    void ForgetControl(MControl* control, bool notify);
    void ClearAllControls();
    void ClearAreaControls();
    void ClearControls();
    std::vector<MControl*> GetControls();
    std::vector<MControl*> GetAreas();

    // Input state.
    MControl* GetFocusControl() const { return focus_; }
    void SetFocusControl(MControl* control);
    MControl* GetHoverControl() const { return hover_; }
    void SetWindowDrag(int on) { windowDrag_ = on; }
    int GetWindowDrag() const { return windowDrag_; }
    void SetWindowMaxSize(CSize size) { maxSize_ = size; }
    CSize GetWindowManSize() const { return maxSize_; }
    void SetWindowMixSize(CSize size) { minSize_ = size; }
    CSize GetWindowMinSize() const { return minSize_; }
    void SetCaptionRect(CRect rect) { caption_ = rect; }
    CRect GetCaptionRect() const { return caption_; }
    void SetCursor(CursorShape shape);

    // Tooltip.
    void SetTooltip(const std::wstring& text, CRect rect);
    void ClearTooltip();
    unsigned GetTooltipOwner() const { return tooltipOwner_; }
    void SetTooltipOwner(unsigned id) { tooltipOwner_ = id; }
    ToolTipWindow* GetToolTipWnd() const { return tooltip_.get(); }

    // Repaint.
    long OnControlUpdate(CRect rect, int redraw, MControl* control);
    void Invalidate();
    void InvalidateRect(CRect rect, int erase);

    // Painting settings.
    void SetBackColor(COLORREF background, COLORREF border);
    COLORREF GetBackColor() const { return backColor_; }
    COLORREF GetBorderColor() const { return borderColor_; }
    int LoadBKImage(const std::wstring& file);
    int LoadBKImage(unsigned resourceId, const std::wstring& type);
    void SetBackMode(enumBackMode mode, int corner);
    void SetLayeredWindow(int layered);
    int IsLayered() const { return layered_; }
    void SetScrollResID(unsigned vertical, unsigned horizontal) {
        scrollV_ = vertical;
        scrollH_ = horizontal;
    }
    unsigned GetScrollVID() const { return scrollV_; }
    unsigned GetScrollHID() const { return scrollH_; }
    void SetDefaultEnabledColor(ARGB color) { enabledColor_ = color; }
    ARGB GetDefaultEnabledColor() const { return enabledColor_; }

    // Paints the update area (WM_PAINT).
    void OnPaint();
    // Composes `area` of the client into `target` (client-sized ARGB32 surface): background, controls,
    // caret, layered fix-up and overlay. Used by OnPaint and by tests and benchmarks.
    void Compose(cairo_surface_t* target, CRect area);

    // Message box overlay.
    void SetMessage(const std::wstring& text, CRect rect, MsgLevel level);
    void SetProgress(int percent, const std::wstring& text, CRect rect);
    int GetMessageOpacity() const { return msgOpacity_; }
    int GetProgressShown() const { return progressShown_; }
    CRect GetMessageRect() const { return msgRect_; }

    // Image cache: loads from the skin folder once per file; null when it cannot be loaded (then
    // nothing is cached and a later call tries again).
    ImgResInfo* AddImgResInfo(const wchar_t* file, int count);
    ImgResInfo* AddImgResInfo(unsigned resourceId, const std::wstring& type, int count, int = 0);
    void ClearImgResInfo();

    // Private fonts: a face name registered for a font file; returns the family name to draw with.
    // FindTempFont falls back to the installed fonts; empty when there is no such font.
    std::wstring AddTempFont(const wchar_t* face, const wchar_t* file);
    std::wstring FindTempFont(const wchar_t* face);
    void ClearTempFont();

    // Animation tick on its own thread.
    unsigned SetMTimer(unsigned periodMs);
    void KillMTimer(unsigned id);
    void KillMTimer();
    void AddMTimer(MControl* control);
    void DeleteFSTimer(MControl* control);
    // Called by the tick thread.
    void OnAnimationTick();

    // Control timers.
    int SetTimer(MControl* control, unsigned key, unsigned elapseMs);
    int KillTimer(MControl* control, unsigned key);
    void KillTimer(MControl* control);
    void ClearTimers();

    // Caret of the focused text control.
    void CreateCaret(int width, int height);
    void ShowCaret(int show);
    void SetCaretPos(MControl* owner, int x, int y);
    MControl* GetCurrentCaretObject() const { return caretOwner_; }
    void DrawCaret(HDC hdc, CRect clip);
    int IsCaretVisible() const { return caretVisible_; }

    // Window geometry.
    CRect GetClientRect() const;
    CRect GetWindowRect() const;
    CSize GetClientSize() const;
    LRESULT SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam);
    bool PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    MControl* Attach(std::unique_ptr<MControl> control, unsigned list);
    void OnMouseMove(WPARAM keys, CPoint pt);
    void OnMouseLeave();
    void OnButtonDown(bool left, WPARAM keys, CPoint pt);
    void OnButtonUp(bool left, WPARAM keys, CPoint pt);
    void OnDoubleClick(bool left, WPARAM keys, CPoint pt);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnDeactivate();
    int OnKeyDown(UINT vk);
    int OnTimer(UINT id);
    bool MoveFocus(bool forward);
    void DrawBackground(cairo_t* cr, const CRect& client);
    void DrawOverlay(cairo_t* cr);
    void FixLayeredAlpha(cairo_surface_t* surface, const CRect& area);
    void StartFade();

    MObject* owner_ = nullptr;
    HWND hwnd_ = 0;
    MWindow* window_ = nullptr;
    std::atomic<bool> initialized_ = false;

    ControlList areas_;
    ControlList controls_;

    std::atomic<MControl*> hover_ = nullptr;
    std::atomic<MControl*> focus_ = nullptr;
    bool pressed_ = false;
    bool captured_ = false;
    bool tracking_ = false;
    std::atomic<int> windowDrag_ = 1;
    std::atomic<int> layered_ = 0;
    CSize minSize_;
    CSize maxSize_;
    CRect caption_;
    std::unique_ptr<ToolTipWindow> tooltip_;
    std::atomic<unsigned> tooltipOwner_ = 0;

    std::atomic<COLORREF> backColor_ = kDefaultBackColor;
    std::atomic<COLORREF> borderColor_ = kDefaultBorderColor;
    std::unique_ptr<Image> bkImage_;
    enumBackMode backMode_ = kBackModeNormal;
    int backCorner_ = 4;
    unsigned scrollV_ = 0;
    unsigned scrollH_ = 0;
    ARGB enabledColor_ = 0xFFFFFFFF;

    std::mutex msgLock_;
    std::wstring msgText_;
    MsgLevel msgLevel_ = kMsgInfo;
    std::atomic<int> msgOpacity_ = 0;
    std::atomic<int> progressShown_ = 0;
    int progressTarget_ = 0;
    CRect msgRect_;

    CRect caretRect_;
    std::atomic<int> caretVisible_ = 0;
    int caretShown_ = 0;
    std::atomic<MControl*> caretOwner_ = nullptr;

    std::mutex imageLock_;
    std::map<std::wstring, std::unique_ptr<ImgResInfo>> images_;
    std::map<unsigned, std::unique_ptr<ImgResInfo>> resourceImages_;

    std::mutex fontLock_;
    std::map<std::wstring, std::wstring> fonts_;

    std::mutex animationLock_;
    std::vector<MControl*> animated_;
    std::map<unsigned, std::unique_ptr<AnimationTimer>> animationTimers_;
    unsigned nextAnimationId_ = 1;

    struct ControlTimer {
        unsigned key = 0;
        UINT timerId = 0;
        bool running = true;
        MControl* control = nullptr;
    };
    std::mutex timerLock_;
    std::vector<ControlTimer> timers_;
    unsigned timerCounter_ = 0;
};

} // namespace vellum
