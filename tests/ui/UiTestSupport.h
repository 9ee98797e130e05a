#pragma once

// Fixtures shared by the VellumUI tests: an off-screen window system with a manual clock, a dialog that
// records its notifications, and a control that records what routing hands it.

#include "ui/framework/Clock.h"
#include "ui/framework/InputEvents.h"
#include "ui/framework/MControl.h"
#include "ui/framework/MDialog.h"
#include "ui/framework/MRender.h"
#include "ui/framework/OffscreenWindowSystem.h"
#include "ui/framework/TextConvert.h"
#include "ui/framework/WindowApi.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace vellum::test {

class OffscreenUi : public ::testing::Test {
protected:
    void SetUp() override {
        auto system = std::make_unique<OffscreenWindowSystem>(CRect(0, 0, 1920, 1040));
        screen = system.get();
        WindowSystem::Install(std::move(system));
        clock = std::make_shared<ManualClock>();
        Clock::Install(clock);
        ResetKeyState();
    }
    void TearDown() override {
        DispatchPendingMessages();
        MSG msg;
        for (int i = 0; i < 10000 && PeekMessageW(msg, 0, true); ++i) {
            DispatchMessage(msg);
        }
        ResetKeyState();
    }
    // Moves time on and runs what became due.
    void Advance(std::uint64_t ms) {
        clock->Advance(ms);
        DispatchPendingMessages();
    }
    // Moves time on in steps, as a real clock would pass through every timer period.
    void AdvanceBy(std::uint64_t total, std::uint64_t step = 10) {
        for (std::uint64_t t = 0; t < total; t += step) {
            Advance(step);
        }
    }
    // Runs everything, with time moving past the frame interval so that paints happen.
    void Settle() {
        DispatchPendingMessages();
        Advance(kFrameIntervalMs + 1);
    }

    OffscreenWindowSystem* screen = nullptr;
    std::shared_ptr<ManualClock> clock;
};

struct Notification {
    unsigned id;
    unsigned code;
    unsigned wParam;
    long lParam;
};

class RecordingDialog : public MDialog {
public:
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override {
        if (code == 3 && lParam) {
            doubleClickPoints.push_back(*reinterpret_cast<CPoint*>(lParam));
        }
        notes.push_back({id, code, wParam, lParam});
        return 0;
    }
    // Creates and shows a dialog at (x, y) of the given size.
    HWND Open(int x = 100, int y = 100, int width = 320, int height = 200, DWORD exStyle = 0) {
        const HWND hwnd = Create(0, L"Test", WS_POPUP, exStyle, CRect(x, y, x + width, y + height));
        ShowWindow(SW_SHOW);
        return hwnd;
    }
    std::vector<Notification> notes;
    std::vector<CPoint> doubleClickPoints;
};

// A control that fills itself with a colour and records the routing it sees.
class Probe : public MControl {
public:
    Probe(MObject* parent, unsigned id, CRect rect, ARGB color = 0xFFFF0000)
        : MControl(parent, id, rect), color(color) {}

    void DrawControl(HDC& hdc, CRect) override {
        ++draws;
        MRender::DrawColor(hdc, GetRect(), color);
    }
    int OnControlMouseMove(unsigned, CPoint pt) override {
        moves.push_back(pt);
        return GetRect().PtInRect(pt) ? 1 : 0;
    }
    int OnControlLButtonDown(unsigned, CPoint pt) override {
        downs.push_back(pt);
        return 1;
    }
    int OnControlLButtonUp(unsigned, CPoint pt) override {
        ups.push_back(pt);
        if (GetRect().PtInRect(pt)) {
            SendMessageW(2, 0, 0);
        }
        return 1;
    }
    int OnControlLButtonDblClk(unsigned, CPoint) override {
        ++dblClicks;
        return 1;
    }
    int SetControlFocus(int focus) override {
        focusCalls.push_back(focus);
        focused_ = focus;
        return MControl::SetControlFocus(focus);
    }
    int OnControlTimer() override {
        ++timerCalls;
        return 1;
    }

    ARGB color;
    int draws = 0;
    int dblClicks = 0;
    std::atomic<int> timerCalls = 0;
    std::vector<CPoint> moves;
    std::vector<CPoint> downs;
    std::vector<CPoint> ups;
    std::vector<int> focusCalls;
};

// Client point → injected pointer input for a window.
inline void Click(HWND hwnd, CPoint p) {
    DeliverPointerMove(hwnd, p);
    DeliverButton(hwnd, 1, true, p);
    DeliverButton(hwnd, 1, false, p);
}

} // namespace vellum::test
