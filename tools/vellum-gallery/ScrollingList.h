#pragma once

// A panel whose rows scroll: it draws its children moved by the scroll offset and clipped to itself.

#include "ui/framework/MPanel.h"

namespace kw::gallery {

class ScrollingList : public vellum::MPanel {
public:
    ScrollingList(vellum::MObject* parent, unsigned id, vellum::CRect rect) : MPanel(parent, id, rect) {}

    void DrawControl(vellum::HDC& hdc, vellum::CRect clip) override;
    int DrawSubControls(vellum::HDC& hdc, vellum::CRect clip) override;
};

} // namespace kw::gallery
