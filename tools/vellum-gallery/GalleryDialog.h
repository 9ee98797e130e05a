#pragma once

// The gallery's window: areas, a scrolling list of buttons and a few loose controls, so that a person
// can see and click the framework. Later control families add a section here.

#include "ui/framework/MDialog.h"

#include <chrono>
#include <functional>

namespace kw::gallery {

class GalleryDialog : public vellum::MDialog {
public:
    static constexpr unsigned kCloseId = 900;
    static constexpr unsigned kToggleId = 901;
    static constexpr unsigned kMessageId = 902;
    static constexpr unsigned kProgressId = 903;
    static constexpr unsigned kListId = 910;
    static constexpr int kRows = 30;

    // Called once, right after the first frame was presented.
    std::function<void()> onFirstFrame;

    void InitUI(vellum::CRect client) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    vellum::LRESULT OnWindowMessage(vellum::UINT msg, vellum::WPARAM wParam, vellum::LPARAM lParam) override;
    void PostNcDestroy() override;

private:
    bool framed_ = false;
    int progress_ = 0;
};

} // namespace kw::gallery
