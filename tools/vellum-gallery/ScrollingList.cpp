#include "tools/vellum-gallery/ScrollingList.h"

#include "ui/framework/MRender.h"

namespace kw::gallery {

using namespace vellum;

void ScrollingList::DrawControl(HDC& hdc, CRect) {
    const CRect r = GetRect();
    MRender::DrawColor(hdc, r, 0xFF0F1626);
}

int ScrollingList::DrawSubControls(HDC& hdc, CRect clip) {
    if (IsScrolling()) {
        DrawScrolledContent(hdc, clip);
        return 1;
    }
    return MPanel::DrawSubControls(hdc, clip);
}

} // namespace kw::gallery
