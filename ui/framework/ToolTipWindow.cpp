#include "ui/framework/ToolTipWindow.h"

#include "ui/framework/MRender.h"
#include "ui/framework/Manager.h"
#include "ui/framework/TextLayouts.h"
#include "ui/framework/WindowApi.h"

#include <algorithm>

namespace vellum {

namespace {

TextStyle TipStyle() {
    return TextStyle{Manager::GetFontName(), 12, 0};
}

} // namespace

ToolTipWindow::~ToolTipWindow() {
    if (hwnd_ && IsWindow(hwnd_)) {
        DestroyWindow();
    }
}

void ToolTipWindow::Show(const std::wstring& text, CRect rect) {
    if (text.empty()) {
        Hide();
        return;
    }
    text_ = text;
    PangoLayout* layout = TextLayouts::Get(TipStyle(), text, kMaxWidth - 8);
    int w = 0;
    int h = 0;
    pango_layout_get_pixel_size(layout, &w, &h);
    const int width = std::min(kMaxWidth, w + 8);
    const int height = h + 6;
    CPoint at = GetCursorPos();
    CRect ownerRect;
    if (vellum::GetWindowRect(owner_, ownerRect) && !ownerRect.PtInRect(at)) {
        at = CPoint(ownerRect.left + rect.left, ownerRect.top + rect.bottom);
    }
    at.y += 20;
    if (!hwnd_) {
        Create(owner_, L"", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
               CRect(at.x, at.y, at.x + width, at.y + height));
    } else {
        SetWindowPos(0, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (hwnd_) {
        InvalidateRect(nullptr);
        ShowWindow(SW_SHOWNA);
    }
}

void ToolTipWindow::Hide() {
    if (hwnd_ && IsWindowVisible()) {
        ShowWindow(SW_HIDE);
    }
}

void ToolTipWindow::Paint() {
    const CRect area = BeginPaint(hwnd_);
    const CRect client = GetClientRect();
    if (area.IsRectEmpty() || client.IsRectEmpty()) {
        return;
    }
    cairo_surface_t* surface = MRender::CreateARGB32Bitmap(client.Width(), client.Height(), nullptr);
    if (!surface) {
        return;
    }
    cairo_t* cr = cairo_create(surface);
    MRender::FillSolidRect(cr, client, 0x00FFFFFF);
    MRender::DrawRectangle(cr, client, 0x00767676, 1);
    CRect textRect = client;
    textRect.DeflateRect(4, 3);
    MRender::DrawTextW(cr, textRect, text_, 0xFF000000, TipStyle(), kAlignLeft, kVAlignTop, true);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    Present(hwnd_, surface, client);
    cairo_surface_destroy(surface);
}

LRESULT ToolTipWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        Paint();
        return 0;
    }
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

} // namespace vellum
