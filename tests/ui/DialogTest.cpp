// Windows, dialogs and the message loop on the off-screen backend.

#include "UiTestSupport.h"

#include "ui/framework/Manager.h"
#include "ui/framework/ToolTipWindow.h"

#include <thread>

namespace vellum::test {
namespace {

class Dialogs : public OffscreenUi {};

TEST_F(Dialogs, ShowModalReturnsTheCodeOfWhatClosedIt) {
    struct Case {
        const char* name;
        void (*close)(MDialog&);
        unsigned result;
    };
    const Case cases[] = {
        {"DoOK", [](MDialog& d) { d.DoOK(); }, 1},
        {"DoCancel", [](MDialog& d) { d.DoCancel(); }, 2},
        {"DoClose", [](MDialog& d) { d.DoClose(); }, 2},
        {"DoYes", [](MDialog& d) { d.DoYes(); }, 6},
        {"DoNo", [](MDialog& d) { d.DoNo(); }, 7},
        {"system close", [](MDialog& d) { d.PostMessageW(WM_CLOSE, 0, 0); }, 0},
        {"destroyed without WM_CLOSE", [](MDialog& d) { d.PostMessageW(WM_USER + 5, 0, 0); }, 0},
    };
    for (const Case& c : cases) {
        class Closer : public RecordingDialog {
        public:
            LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
                if (msg == WM_USER + 5) {
                    DestroyWindow();
                    return 0;
                }
                return RecordingDialog::OnWindowMessage(msg, wParam, lParam);
            }
        } dialog;
        ASSERT_NE(dialog.Create(0, L"Modal", WS_POPUP, 0, CRect(0, 0, 100, 100)), 0u);
        c.close(dialog);
        EXPECT_EQ(dialog.ShowModal(), c.result) << c.name;
        EXPECT_EQ(dialog.GetSafeHwnd(), 0u) << c.name;
    }
}

TEST_F(Dialogs, WithoutADisplayCreationFails) {
    WindowSystem::Install(OffscreenWindowSystem::Unavailable());
    RecordingDialog dialog;
    EXPECT_EQ(dialog.Create(0, L"Nowhere", WS_POPUP, 0, CRect(0, 0, 100, 100)), 0u);
    EXPECT_EQ(FindWindowW(nullptr, L"Nowhere"), 0u);
    EXPECT_EQ(dialog.ShowModal(), 0xFFFFFFFFu);
}

TEST_F(Dialogs, ShowModalOnAWindowThatDoesNotExistFails) {
    MDialog dialog;
    EXPECT_EQ(dialog.ShowModal(), 0xFFFFFFFFu);
}

TEST_F(Dialogs, QuitInsideAModalLoopEndsItAndIsPostedAgain) {
    RecordingDialog dialog;
    ASSERT_NE(dialog.Create(0, L"Modal", WS_POPUP, 0, CRect(0, 0, 100, 100)), 0u);
    PostQuitMessage(3);
    EXPECT_EQ(dialog.ShowModal(), 0u);
    EXPECT_NE(dialog.GetSafeHwnd(), 0u); // the window survives; only the loop ended
    MSG msg;
    ASSERT_TRUE(PeekMessageW(msg, 0, true));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(Dialogs, TheOwnerIsDisabledDuringTheModalLoopAndEnabledAfter) {
    RecordingDialog owner;
    const HWND ownerHwnd = owner.Open();
    class Checker : public RecordingDialog {
    public:
        int OnClose() override {
            ownerEnabledAtClose = vellum::IsWindowEnabled(GetParentHwnd());
            return 1;
        }
        bool ownerEnabledAtClose = true;
        bool ownerDisabledInLoop = false;
        LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
            if (msg == WM_USER + 9) {
                ownerDisabledInLoop = !vellum::IsWindowEnabled(GetParentHwnd());
                DoYes();
            }
            return RecordingDialog::OnWindowMessage(msg, wParam, lParam);
        }
    } modal;
    ASSERT_NE(modal.Create(ownerHwnd, L"Modal", WS_POPUP, 0, CRect(0, 0, 50, 50)), 0u);
    modal.PostMessageW(WM_USER + 9);
    EXPECT_EQ(modal.ShowModal(), 6u);
    EXPECT_TRUE(modal.ownerDisabledInLoop);
    EXPECT_TRUE(IsWindowEnabled(ownerHwnd));
}

TEST_F(Dialogs, CreateOnAnExistingWindowReturnsItsHandle) {
    RecordingDialog dialog;
    const HWND first = dialog.Create(0, L"One", WS_POPUP, 0, CRect(0, 0, 100, 100));
    const std::size_t windows = Manager::GetWindows().size();
    EXPECT_EQ(dialog.Create(0, L"Two", WS_POPUP, 0, CRect(0, 0, 50, 50)), first);
    EXPECT_EQ(dialog.GetWindowTextW(), L"One");
    EXPECT_EQ(Manager::GetWindows().size(), windows);
    EXPECT_EQ(FindWindowW(L"VellumClient", L"One"), first);
    EXPECT_EQ(FindWindowW(nullptr, L"Two"), 0u);
}

TEST_F(Dialogs, CreationRemovesTheCaptionAndRunsInitUIOnce) {
    class Init : public RecordingDialog {
    public:
        void InitUI(CRect client) override {
            ++inits;
            seen = client;
        }
        void UISize(CRect client) override { sizes.push_back(client); }
        int inits = 0;
        CRect seen;
        std::vector<CRect> sizes;
    } dialog;
    ASSERT_NE(dialog.Create(0, L"", WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, 0, CRect(10, 10, 110, 60)), 0u);
    EXPECT_EQ(dialog.inits, 1);
    EXPECT_EQ(dialog.seen, CRect(0, 0, 100, 50));
    EXPECT_EQ(dialog.GetStyle() & (WS_CAPTION | WS_THICKFRAME), 0u);
    EXPECT_EQ(dialog.GetStyle() & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS), WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    dialog.MoveWindow(10, 10, 200, 80);
    ASSERT_FALSE(dialog.sizes.empty());
    EXPECT_EQ(dialog.sizes.back(), CRect(0, 0, 200, 80));
}

TEST_F(Dialogs, CenterWindowStaysInsideTheWorkArea) {
    screen->SetWorkArea(CRect(0, 30, 1000, 730));
    struct Case {
        CRect window;
        CRect reference; // empty: none
        CPoint expected;
    };
    const Case cases[] = {
        {CRect(0, 0, 200, 100), CRect(), CPoint(400, 330)},
        {CRect(0, 0, 200, 100), CRect(100, 100, 300, 300), CPoint(100, 150)},
        {CRect(0, 0, 200, 100), CRect(900, 650, 1000, 700), CPoint(800, 625)},
        {CRect(0, 0, 1200, 800), CRect(), CPoint(0, 30)},
    };
    for (const Case& c : cases) {
        RecordingDialog reference;
        if (!c.reference.IsRectEmpty()) {
            reference.Open(c.reference.left, c.reference.top, c.reference.Width(), c.reference.Height());
        }
        RecordingDialog dialog;
        dialog.Create(0, L"", WS_POPUP, 0, c.window);
        dialog.CenterWindow(c.reference.IsRectEmpty() ? nullptr : &reference);
        EXPECT_EQ(dialog.GetWindowRect().TopLeft(), c.expected);
        EXPECT_EQ(dialog.GetWindowRect().Size(), c.window.Size());
    }
}

TEST_F(Dialogs, MessagesFromWorkerThreadsArriveOnTheWindowThread) {
    class Echo : public RecordingDialog {
    public:
        LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
            if (msg == WM_USER + 1) {
                threads.push_back(std::this_thread::get_id());
                return static_cast<LRESULT>(wParam * 2);
            }
            return RecordingDialog::OnWindowMessage(msg, wParam, lParam);
        }
        std::vector<std::thread::id> threads;
    } dialog;
    const HWND hwnd = dialog.Open();
    LRESULT sent = 0;
    std::atomic<bool> done = false;
    std::thread worker([&] {
        PostMessageW(hwnd, WM_USER + 1, 1, 0);
        sent = SendMessageW(hwnd, WM_USER + 1, 21, 0);
        done = true;
    });
    for (int i = 0; i < 2000 && !done; ++i) {
        DispatchPendingMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    DispatchPendingMessages();
    EXPECT_EQ(sent, 42);
    ASSERT_EQ(dialog.threads.size(), 2u);
    EXPECT_EQ(dialog.threads[0], std::this_thread::get_id());
    EXPECT_EQ(dialog.threads[1], std::this_thread::get_id());
}

TEST_F(Dialogs, TwoThreadsSendingToEachOtherDoNotDeadlock) {
    class Echo : public RecordingDialog {
    public:
        LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
            if (msg == WM_USER + 2) {
                return static_cast<LRESULT>(wParam + 1);
            }
            if (msg == WM_USER + 3) {
                // Ask the other thread's window while that thread waits for this one.
                return vellum::SendMessageW(static_cast<HWND>(wParam), WM_USER + 2, 40, 0);
            }
            return RecordingDialog::OnWindowMessage(msg, wParam, lParam);
        }
    };
    Echo here;
    const HWND hereHwnd = here.Open();
    std::atomic<HWND> thereHwnd = 0;
    std::atomic<bool> stop = false;
    std::thread other([&] {
        Echo there;
        thereHwnd = there.Open();
        while (!stop) {
            DispatchPendingMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        there.DestroyWindow();
    });
    while (!thereHwnd) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // This thread waits for the other one, which asks this thread's window in the meantime.
    const LRESULT answer = SendMessageW(thereHwnd, WM_USER + 3, hereHwnd, 0);
    stop = true;
    other.join();
    EXPECT_EQ(answer, 41);
}

TEST_F(Dialogs, AltF4IsDropped) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    DeliverKey(hwnd, VK_LMENU, true);
    DeliverKey(hwnd, VK_F4, true);
    MSG msg;
    int dropped = 0;
    while (PeekMessageW(msg, 0, true)) {
        if (Manager::PreTranslateMessage(&msg)) {
            ++dropped;
        } else {
            DispatchMessage(msg);
        }
    }
    EXPECT_GE(dropped, 1);
    DeliverKey(hwnd, VK_F4, false);
    DeliverKey(hwnd, VK_LMENU, false);
    DeliverKey(hwnd, VK_F4, true);
    int passed = 0;
    while (PeekMessageW(msg, 0, true)) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_F4) {
            passed += Manager::PreTranslateMessage(&msg) == 0;
        }
        DispatchMessage(msg);
    }
    EXPECT_EQ(passed, 1);
}

TEST_F(Dialogs, WindowDragStartsOnlyWherNoControlTakesThePress) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    dialog.AddControl(std::make_unique<Probe>(&dialog, 5, CRect(10, 10, 60, 60)));
    Click(hwnd, CPoint(20, 20));
    DispatchPendingMessages();
    EXPECT_EQ(screen->MoveDrags(), 0);
    Click(hwnd, CPoint(200, 150));
    DispatchPendingMessages();
    EXPECT_EQ(screen->MoveDrags(), 1);
    dialog.EnableWndDrag(0);
    Click(hwnd, CPoint(200, 150));
    DispatchPendingMessages();
    EXPECT_EQ(screen->MoveDrags(), 1);
}

TEST_F(Dialogs, TabMovesTheFocusAmongTabStopsOnly) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    std::vector<Probe*> probes;
    for (unsigned i = 0; i < 4; ++i) {
        probes.push_back(static_cast<Probe*>(
            dialog.AddControl(std::make_unique<Probe>(&dialog, 10 + i, CRect(i * 20, 0, i * 20 + 10, 10)))));
    }
    PaintManager& pm = dialog.GetPaintManager();
    auto tab = [&](bool shift) {
        if (shift) {
            DeliverKey(hwnd, VK_LSHIFT, true);
        }
        DeliverKey(hwnd, VK_TAB, true);
        MSG msg;
        int consumed = -1;
        while (PeekMessageW(msg, 0, true)) {
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
                consumed = dialog.PreTranslateMessage(&msg);
            } else {
                DispatchMessage(msg);
            }
        }
        DeliverKey(hwnd, VK_TAB, false);
        if (shift) {
            DeliverKey(hwnd, VK_LSHIFT, false);
        }
        DispatchPendingMessages();
        return consumed;
    };
    EXPECT_EQ(tab(false), 0);
    EXPECT_EQ(pm.GetFocusControl(), nullptr);
    probes[1]->SetTabStop(1);
    probes[3]->SetTabStop(1);
    probes[2]->SetTabStop(1);
    probes[2]->SetEnabled(0);
    EXPECT_EQ(tab(false), 1);
    EXPECT_EQ(pm.GetFocusControl(), probes[1]);
    EXPECT_EQ(tab(false), 1);
    EXPECT_EQ(pm.GetFocusControl(), probes[3]);
    EXPECT_EQ(tab(false), 1);
    EXPECT_EQ(pm.GetFocusControl(), probes[1]);
    EXPECT_EQ(tab(true), 1);
    EXPECT_EQ(pm.GetFocusControl(), probes[3]);
}

TEST_F(Dialogs, WindowTimersFireOnTheManualClock) {
    class Ticks : public RecordingDialog {
    public:
        int OnTimer(unsigned id) override {
            fired.push_back(id);
            return 0;
        }
        std::vector<unsigned> fired;
    } dialog;
    dialog.Open();
    dialog.SetTimer(7, 100);
    Advance(99);
    EXPECT_TRUE(dialog.fired.empty());
    Advance(1);
    EXPECT_EQ(dialog.fired, std::vector<unsigned>{7});
    Advance(100);
    EXPECT_EQ(dialog.fired.size(), 2u);
    dialog.KillTimer(7);
    Advance(500);
    EXPECT_EQ(dialog.fired.size(), 2u);
}

TEST_F(Dialogs, ControlTimersRestartWhenPausedAndStopWithTheControl) {
    RecordingDialog dialog;
    dialog.Open();
    auto* probe =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 5, CRect(0, 0, 10, 10))));
    PaintManager& pm = dialog.GetPaintManager();
    EXPECT_EQ(pm.SetTimer(probe, 1, 40), 1);
    EXPECT_EQ(pm.SetTimer(probe, 1, 40), 0); // running: left alone
    Advance(40);
    EXPECT_EQ(probe->timerCalls, 1);
    // The window's own overlay timer ids never reach controls.
    dialog.SendMessageW(WM_TIMER, PaintManager::kTimerMessageFade, 0);
    EXPECT_EQ(probe->timerCalls, 1);
    pm.RemoveControl(probe);
    Advance(200); // nothing may call the removed control
}

TEST_F(Dialogs, TheAnimationTickReachesVisibleRegisteredControls) {
    RecordingDialog dialog;
    dialog.Open();
    auto* shown =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 5, CRect(0, 0, 10, 10))));
    auto* hidden =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 6, CRect(0, 0, 10, 10))));
    hidden->SetVisible(0);
    shown->AddMTimer();
    hidden->AddMTimer();
    const unsigned id = dialog.SetMTimer(2);
    for (int i = 0; i < 1000 && shown->timerCalls < 3; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    dialog.KillMTimer(id);
    EXPECT_GE(shown->timerCalls, 3);
    EXPECT_EQ(hidden->timerCalls, 0);
}

TEST_F(Dialogs, LeavingTheWindowDropsTheHoverControl) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    auto* probe =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 5, CRect(10, 10, 60, 60))));
    DeliverPointerMove(hwnd, CPoint(20, 20));
    DispatchPendingMessages();
    EXPECT_EQ(dialog.GetPaintManager().GetHoverControl(), probe);
    DeliverLeave(hwnd);
    DispatchPendingMessages();
    EXPECT_EQ(dialog.GetPaintManager().GetHoverControl(), nullptr);
    ASSERT_FALSE(probe->moves.empty());
    EXPECT_EQ(probe->moves.back(), CPoint(-1, -1));
}

TEST_F(Dialogs, RestingThePointerForTheHoverTimeDeliversOneHover) {
    struct HoverDialog : RecordingDialog {
        int OnMouseHover(unsigned, int x, int y) override {
            hovers.push_back(CPoint(x, y));
            return 0;
        }
        std::vector<CPoint> hovers;
    } dialog;
    const HWND hwnd = dialog.Open();
    DeliverPointerMove(hwnd, CPoint(20, 20));
    DispatchPendingMessages();
    Advance(HOVER_DEFAULT_MS - 1);
    EXPECT_TRUE(dialog.hovers.empty());
    // Looking at the queue without taking leaves the hover in it.
    clock->Advance(1);
    MSG peeked;
    ASSERT_TRUE(PeekMessageW(peeked, hwnd, false));
    EXPECT_EQ(peeked.message, static_cast<UINT>(WM_MOUSEHOVER));
    DispatchPendingMessages();
    EXPECT_EQ(dialog.hovers.size(), 1u);
    Advance(HOVER_DEFAULT_MS * 2);
    EXPECT_EQ(dialog.hovers.size(), 1u);
}

TEST_F(Dialogs, HoveringAControlWithATipShowsTheTipWindow) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    auto* probe =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 5, CRect(10, 10, 60, 60))));
    probe->SetTooltip(L"Brightness");
    DeliverPointerMove(hwnd, CPoint(20, 20));
    DispatchPendingMessages();
    PaintManager& pm = dialog.GetPaintManager();
    ASSERT_NE(pm.GetToolTipWnd(), nullptr);
    EXPECT_EQ(pm.GetTooltipOwner(), 5u);
    EXPECT_EQ(pm.GetToolTipWnd()->Text(), L"Brightness");
    EXPECT_TRUE(pm.GetToolTipWnd()->IsWindowVisible());
    EXPECT_LE(pm.GetToolTipWnd()->GetWindowRect().Width(), ToolTipWindow::kMaxWidth);
    DeliverPointerMove(hwnd, CPoint(200, 150));
    DispatchPendingMessages();
    EXPECT_FALSE(pm.GetToolTipWnd()->IsWindowVisible());
    EXPECT_EQ(pm.GetTooltipOwner(), 0u);
}

TEST_F(Dialogs, PrivateFontsAndInstalledFacesAreFound) {
    RecordingDialog dialog;
    dialog.Open();
    PaintManager& pm = dialog.GetPaintManager();
    EXPECT_EQ(pm.FindTempFont(L"NoSuchFace Regular"), L"");
    EXPECT_EQ(pm.FindTempFont(L"DejaVu Sans"), L"DejaVu Sans");
    EXPECT_EQ(pm.AddTempFont(L"Body", L"/nonexistent/font.ttf"), L"");
    EXPECT_EQ(pm.AddTempFont(L"Body", L"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"), L"DejaVu Sans");
    EXPECT_EQ(pm.FindTempFont(L"Body"), L"DejaVu Sans");
    pm.ClearTempFont();
    EXPECT_EQ(pm.FindTempFont(L"Body"), L"");
}

} // namespace
} // namespace vellum::test
