#pragma once

// A control that creates children by class name and scrolls them. Its two scroll bars are its own
// children with ids 1 (vertical) and 2 (horizontal); they get mouse points as they are, every other
// child gets points in content coordinates (moved by the scroll offsets).

#include "ui/framework/MControlFont.h"
#include "ui/framework/MScroll.h"

namespace vellum {

class MPanel : public MControlFont {
public:
    static constexpr int kScrollThickness = 7;
    static constexpr unsigned kVerticalBarId = 1;
    static constexpr unsigned kHorizontalBarId = 2;

    MPanel(MObject* parent, unsigned id, CRect rect, int visible = 1);

    // The factory: CreateArea puts the new control on the area list, CreateControl on the control list,
    // both with this panel as parent. Null for an empty or unknown class name.
    virtual MControl* CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* text,
                                 int a, int b);
    virtual MControl* CreateControl(unsigned list, MObject* parent, const wchar_t* className, unsigned id,
                                    CRect rect, const wchar_t* text, int a, int b);
    virtual MControl* CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* text,
                                    int a, int b);
    virtual int OnControlKeyUp(unsigned, unsigned, unsigned) { return 0; }

    CScrollVertical* GetScrollVertical() const { return vertical_; }
    CScrollHorizontal* GetScrollHorizontal() const { return horizontal_; }
    void SetVirtualHeight(int height);
    void SetVirtualWidth(int width);
    int GetVirtualHeight() const { return virtualHeight_; }
    int GetVirtualWidth() const { return virtualWidth_; }
    void SetEnableScroll(int on) { enableScroll_ = on; }
    int GetEnableScroll() const { return enableScroll_; }
    // The content offsets (0 when the content fits).
    CPoint GetScrollOffset() const;

    void InitControl(PaintManager* manager) override;
    void DrawControl(HDC&, CRect) override {}
    int DrawSubControls(HDC& hdc, CRect clip) override;
    void SetControlRect(CRect rect) override;
    int OnMousePointChange(CPoint& pt) override;
    int OnControlScroll(int bar, unsigned down, CPoint pt) override;
    long OnControlUpdate(CRect rect, int redraw, MControl* control) override;
    long OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;
    long OnWindowMessage(unsigned msg, unsigned wParam, long lParam) override;

protected:
    // Whether the content is larger than the panel in either direction while scrolling is enabled.
    bool IsScrolling() const;
    // Draws the children moved by the scroll offsets and clipped to the panel, then the scroll bars:
    // what a scrolling panel's subclass calls from its own drawing.
    void DrawScrolledContent(HDC& hdc, CRect clip);

private:
    void LayoutBars();

    std::atomic<int> initialized_ = 0;
    std::atomic<int> virtualHeight_ = 0;
    std::atomic<int> virtualWidth_ = 0;
    CScrollVertical* vertical_ = nullptr;
    CScrollHorizontal* horizontal_ = nullptr;
    std::atomic<int> enableScroll_ = 1;
};

} // namespace vellum
