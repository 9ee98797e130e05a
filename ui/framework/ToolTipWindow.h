#pragma once

// The tip window a dialog shows for its controls: a small topmost popup with dark text on white,
// at most 256 pixels wide, placed below the pointer. It never takes the focus.

#include "ui/framework/MWindow.h"

#include <string>

namespace vellum {

class ToolTipWindow : public MWindow {
public:
    static constexpr int kMaxWidth = 256;

    explicit ToolTipWindow(HWND owner) : owner_(owner) {}
    ~ToolTipWindow() override;

    const wchar_t* GetWindowClassName() const override { return L"VellumToolTip"; }
    // Shows `text` for the owner's client rectangle `rect`; an empty text hides the tip.
    void Show(const std::wstring& text, CRect rect);
    void Hide();
    const std::wstring& Text() const { return text_; }

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint();

    HWND owner_ = 0;
    std::wstring text_;
};

} // namespace vellum
