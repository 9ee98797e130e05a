#include "tools/vellum-gallery/GalleryDialog.h"

#include "tools/vellum-gallery/GalleryButton.h"
#include "tools/vellum-gallery/ScrollingList.h"
#include "ui/framework/CArea.h"
#include "ui/framework/WindowApi.h"

#include <string>

namespace kw::gallery {

using namespace vellum;

void GalleryDialog::InitUI(CRect client) {
    // Title bar and side areas.
    if (auto* bar =
            static_cast<CArea*>(CreateArea(L"CArea", 1, CRect(1, 1, client.right - 1, 40), L"", 1, 1))) {
        bar->SetColor(RGB(0x16, 0x20, 0x36));
    }
    if (auto* side = static_cast<CArea*>(CreateArea(L"CArea", 2, CRect(20, 60, 300, 400), L"", 1, 1))) {
        side->SetTransparent(10, 70, RGB(0x10, 0xA8, 0xFD));
    }
    if (auto* framed = static_cast<CArea*>(CreateArea(L"CArea", 3, CRect(320, 60, 600, 140), L"", 1, 1))) {
        framed->SetColor(RGB(0x20, 0x24, 0x30));
        framed->SetFrame(1, 0xFF10A8FD, 1);
    }

    auto* close = static_cast<GalleryButton*>(AddControl(std::make_unique<GalleryButton>(
        this, kCloseId, CRect(client.right - 110, 6, client.right - 10, 34), L"Close")));
    close->SetTooltip(L"Close the gallery");
    AddControl(std::make_unique<GalleryButton>(this, kToggleId, CRect(340, 80, 460, 116), L"Enable/disable"));
    AddControl(std::make_unique<GalleryButton>(this, kMessageId, CRect(470, 80, 590, 116), L"Message 消息"));
    AddControl(std::make_unique<GalleryButton>(this, kProgressId, CRect(340, 160, 460, 196), L"Progress"));
    auto* disabled = static_cast<GalleryButton*>(
        AddControl(std::make_unique<GalleryButton>(this, 904, CRect(470, 160, 590, 196), L"Disabled")));
    disabled->SetEnabled(0);

    auto* list = static_cast<ScrollingList*>(
        AddControl(std::make_unique<ScrollingList>(this, kListId, CRect(40, 80, 280, 380))));
    for (int i = 0; i < kRows; ++i) {
        const std::wstring title = L"Row " + std::to_wstring(i + 1) + (i % 3 == 0 ? L" 键盘" : L"");
        list->AddControl(std::make_unique<GalleryButton>(
            list, 1000 + i, CRect(50, 90 + i * 40, 260, 120 + i * 40), title.c_str()));
    }
    list->SetVirtualHeight(20 + kRows * 40);
}

long GalleryDialog::OnMessage(unsigned id, unsigned code, unsigned, long) {
    if (code != 2) {
        return 0;
    }
    switch (id) {
    case kCloseId:
        DoClose();
        break;
    case kToggleId:
        if (MControl* target = GetControl(904)) {
            target->SetEnabled(!target->IsEnabled());
        }
        break;
    case kMessageId:
        SetMessage(L"Saved to the keyboard · 已保存", CRect(320, 420, 620, 480), kMsgInfo);
        break;
    case kProgressId:
        progress_ = progress_ >= 100 ? 0 : progress_ + 25;
        SetProgress(progress_, L"Downloading " + std::to_wstring(progress_) + L"%", CRect());
        break;
    default:
        if (id >= 1000) {
            SetMessage(L"Row " + std::to_wstring(id - 999) + L" clicked", CRect(320, 420, 620, 480),
                       kMsgInfo);
        }
        break;
    }
    return 0;
}

LRESULT GalleryDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = MDialog::OnWindowMessage(msg, wParam, lParam);
    if (msg == WM_PAINT && !framed_) {
        framed_ = true;
        if (onFirstFrame) {
            onFirstFrame();
        }
    }
    return result;
}

void GalleryDialog::PostNcDestroy() {
    PostQuitMessage(0);
}

} // namespace kw::gallery
