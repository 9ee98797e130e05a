// The control tree: class identity, factories, routing through panels, notifications and repaint requests.

#include "UiTestSupport.h"

#include "ui/framework/CArea.h"
#include "ui/framework/ControlFactory.h"
#include "ui/framework/MPanel.h"
#include "ui/framework/MScroll.h"

namespace vellum::test {
namespace {

// Counts the repaint requests that reach it.
class UpdateCounter : public MObject {
public:
    long OnControlUpdate(CRect rect, int redraw, MControl*) override {
        requests.push_back({rect, redraw});
        return 0;
    }
    struct Request {
        CRect rect;
        int redraw;
    };
    std::vector<Request> requests;
};

class NamedControl : public Probe {
public:
    using Probe::Probe;
    const wchar_t* GetClassNameW() const override { return L"RadioButton"; }
};

TEST(ControlIdentity, IsClassComparesTheClassNameExactly) {
    Probe plain(nullptr, 1, CRect(0, 0, 10, 10));
    NamedControl radio(nullptr, 2, CRect(0, 0, 10, 10));
    MDialog dialog;
    EXPECT_EQ(plain.IsClass(L"FSControl"), 1);
    EXPECT_EQ(plain.IsClass(L"fscontrol"), 0);
    EXPECT_EQ(radio.IsClass(L"FSControl"), 0);
    EXPECT_EQ(radio.IsClass(L"RadioButton"), 1);
    EXPECT_EQ(dialog.IsClass(L"MDialog"), 1);
    EXPECT_EQ(plain.IsClass(nullptr), 0);
}

TEST(ControlFactory, UnknownUnbuiltAndMisplacedNamesCreateNothing) {
    MPanel panel(nullptr, 10, CRect(0, 0, 200, 200));
    const auto before = panel.GetControls().size();
    const wchar_t* panelNulls[] = {
        L"", L"MPanel", L"CScrollVertical", L"carea", L"MButton", L"CComboBoxList", L"Nope"};
    for (const wchar_t* name : panelNulls) {
        EXPECT_EQ(panel.CreateControl(name, 50, CRect(0, 0, 5, 5), L"", 1, 1), nullptr)
            << "name: " << ToUtf8(name);
        EXPECT_EQ(panel.CreateArea(name, 51, CRect(0, 0, 5, 5), L"", 1, 1), nullptr);
    }
    EXPECT_EQ(panel.CreateControl(nullptr, 52, CRect(), L"", 1, 1), nullptr);
    EXPECT_EQ(panel.GetControls().size(), before);
    EXPECT_TRUE(panel.GetAreas().empty());

    // Names only a panel may create are refused by the window factory and the other way round.
    EXPECT_EQ(ControlFactory::CreateWindowControl(L"KeyFuncControl", nullptr, 1, CRect(), L"", 1, 1),
              nullptr);
    EXPECT_TRUE(ControlFactory::IsPanelName(L"KeyFuncControl"));
    EXPECT_FALSE(ControlFactory::IsWindowName(L"KeyFuncControl"));
    EXPECT_TRUE(ControlFactory::IsWindowName(L"BatteryCtrl"));
    EXPECT_FALSE(ControlFactory::IsPanelName(L"BatteryCtrl"));
}

TEST(ControlFactory, BuiltNamesJoinTheChosenListWithThePanelAsParent) {
    MPanel panel(nullptr, 10, CRect(0, 0, 200, 200));
    MControl* area = panel.CreateArea(L"CArea", 20, CRect(0, 0, 50, 50), L"", 0, 1);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->IsVisible(), 0); // a = visibility
    EXPECT_EQ(area->GetParantObject(), &panel);
    EXPECT_EQ(panel.GetAreas().size(), 1u);
    MControl* control = panel.CreateControl(L"CArea", 21, CRect(0, 0, 50, 50), L"", 1, 1);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(panel.GetControls().back(), control);
    EXPECT_EQ(panel.CreateControl(2, &panel, L"CArea", 22, CRect(), L"", 1, 1), nullptr);
    EXPECT_EQ(panel.GetControl(21), control);
    EXPECT_EQ(panel.GetControl(20), area);
}

TEST(ControlState, SetVisibleWithTheCurrentValueRequestsNoRepaint) {
    UpdateCounter parent;
    Probe probe(&parent, 3, CRect(0, 0, 10, 10));
    probe.SetVisible(1);
    EXPECT_TRUE(parent.requests.empty());
    probe.SetVisible(0);
    ASSERT_EQ(parent.requests.size(), 1u);
    EXPECT_EQ(parent.requests[0].rect, CRect(0, 0, 10, 10));
    probe.SetVisible(0, 1);
    probe.SetEnabled(1);
    EXPECT_EQ(parent.requests.size(), 1u);
    probe.SetVisible(1, 0);
    EXPECT_EQ(parent.requests.size(), 1u);
}

TEST(ControlState, SetRectRepaintsTheUnionOfOldAndNew) {
    UpdateCounter parent;
    Probe probe(&parent, 3, CRect(0, 0, 10, 10));
    probe.SetRect(20, 5, 10, 10);
    ASSERT_EQ(parent.requests.size(), 1u);
    EXPECT_EQ(parent.requests[0].rect, CRect(0, 0, 30, 15));
    EXPECT_EQ(parent.requests[0].redraw, 1);
}

class ControlTree : public OffscreenUi {};

TEST_F(ControlTree, ANotificationThreePanelsDeepArrivesWithItsOwnId) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    ASSERT_NE(hwnd, 0u);
    auto* outer = static_cast<MPanel*>(
        dialog.AddControl(std::make_unique<MPanel>(&dialog, 100, CRect(0, 0, 300, 180))));
    auto* middle = static_cast<MPanel*>(
        outer->AddControl(std::make_unique<MPanel>(outer, 101, CRect(10, 10, 290, 170))));
    auto* inner = static_cast<MPanel*>(
        middle->AddControl(std::make_unique<MPanel>(middle, 102, CRect(20, 20, 280, 160))));
    auto* probe =
        static_cast<Probe*>(inner->AddControl(std::make_unique<Probe>(inner, 42, CRect(50, 50, 90, 90))));
    Click(hwnd, CPoint(60, 60));
    DispatchPendingMessages();
    ASSERT_EQ(probe->downs.size(), 1u);
    ASSERT_FALSE(dialog.notes.empty());
    EXPECT_EQ(dialog.notes.back().id, 42u);
    EXPECT_EQ(dialog.notes.back().code, 2u);
}

TEST_F(ControlTree, ScrollBarIdsGetRawPointsOtherChildrenContentPoints) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    auto* panel = static_cast<MPanel*>(
        dialog.AddControl(std::make_unique<MPanel>(&dialog, 100, CRect(0, 0, 200, 100))));
    auto* raw =
        static_cast<Probe*>(panel->AddControl(std::make_unique<Probe>(panel, 1, CRect(0, 0, 200, 400))));
    auto* content =
        static_cast<Probe*>(panel->AddControl(std::make_unique<Probe>(panel, 7, CRect(0, 0, 200, 400))));
    panel->SetVirtualHeight(400);
    panel->GetScrollVertical()->SetPosition(400); // scrolled to the end: offset = 400 - 100 = 300
    EXPECT_EQ(panel->GetScrollOffset(), CPoint(0, 300));
    DeliverPointerMove(hwnd, CPoint(20, 30));
    DispatchPendingMessages();
    ASSERT_FALSE(raw->moves.empty());
    ASSERT_FALSE(content->moves.empty());
    EXPECT_EQ(raw->moves.back(), CPoint(20, 30));
    EXPECT_EQ(content->moves.back(), CPoint(20, 330));
}

TEST_F(ControlTree, DoubleClickIsASecondPressOrNotificationThree) {
    struct Case {
        int dblClk;
        std::size_t downs;
        int dblClicks;
        bool notified;
    };
    for (const Case c : {Case{0, 2, 0, false}, Case{1, 1, 1, true}}) {
        RecordingDialog dialog;
        const HWND hwnd = dialog.Open();
        auto* probe = static_cast<Probe*>(
            dialog.AddControl(std::make_unique<Probe>(&dialog, 5, CRect(10, 10, 60, 60))));
        probe->SetDblClk(c.dblClk);
        DeliverPointerMove(hwnd, CPoint(20, 20));
        DeliverButton(hwnd, 1, true, CPoint(20, 20));
        DeliverButton(hwnd, 1, false, CPoint(20, 20));
        clock->Advance(100);
        DeliverButton(hwnd, 1, true, CPoint(21, 20));
        DispatchPendingMessages();
        if (!c.dblClk) {
            // The second press holds the control like the first one did.
            EXPECT_TRUE(probe->IsPressedInside());
        }
        DeliverButton(hwnd, 1, false, CPoint(21, 20));
        DispatchPendingMessages();
        EXPECT_EQ(probe->downs.size(), c.downs) << "dblClk " << c.dblClk;
        EXPECT_EQ(probe->dblClicks, c.dblClicks);
        const bool notified =
            std::any_of(dialog.notes.begin(), dialog.notes.end(), [](auto& n) { return n.code == 3; });
        EXPECT_EQ(notified, c.notified);
        if (c.notified) {
            ASSERT_EQ(dialog.doubleClickPoints.size(), 1u);
            EXPECT_EQ(dialog.doubleClickPoints[0], CPoint(21, 20));
        }
    }
}

TEST_F(ControlTree, PressesFarApartInTimeOrSpaceAreTwoPresses) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    auto* probe =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 5, CRect(10, 10, 100, 60))));
    probe->SetDblClk(1);
    Click(hwnd, CPoint(20, 20));
    clock->Advance(kDoubleClickMs + 1);
    Click(hwnd, CPoint(20, 20));
    Click(hwnd, CPoint(40, 20));
    DispatchPendingMessages();
    EXPECT_EQ(probe->downs.size(), 3u);
    EXPECT_EQ(probe->dblClicks, 0);
}

TEST_F(ControlTree, RemovingTheFocusedControlClearsTheFocusFirst) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    auto* panel = static_cast<MPanel*>(
        dialog.AddControl(std::make_unique<MPanel>(&dialog, 100, CRect(0, 0, 300, 180))));
    auto* probe =
        static_cast<Probe*>(panel->AddControl(std::make_unique<Probe>(panel, 5, CRect(10, 10, 60, 60))));
    Click(hwnd, CPoint(20, 20));
    DispatchPendingMessages();
    PaintManager& pm = dialog.GetPaintManager();
    ASSERT_EQ(pm.GetFocusControl(), probe);
    probe->focusCalls.clear();
    panel->RemoveControl(probe);
    EXPECT_EQ(pm.GetFocusControl(), nullptr);
    EXPECT_EQ(panel->GetControl(5), nullptr);
    // The removal of the panel (an ancestor of the focus) also clears it.
    auto* other =
        static_cast<Probe*>(panel->AddControl(std::make_unique<Probe>(panel, 6, CRect(10, 10, 60, 60))));
    pm.SetFocusControl(other);
    pm.RemoveControl(panel);
    EXPECT_EQ(pm.GetFocusControl(), nullptr);
    EXPECT_EQ(pm.GetHoverControl(), nullptr);
}

TEST_F(ControlTree, FocusLossReachesTheRemovedControlWhileItIsAlive) {
    RecordingDialog dialog;
    dialog.Open();
    auto* probe =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 5, CRect(10, 10, 60, 60))));
    dialog.SetFocusControl(probe);
    ASSERT_EQ(probe->focusCalls, std::vector<int>{1});
    // The probe records into a vector it owns: a call after destruction would be a use after free
    // that the sanitizers report.
    dialog.GetPaintManager().RemoveControl(probe);
    EXPECT_EQ(dialog.GetPaintManager().GetFocusControl(), nullptr);
}

TEST_F(ControlTree, LaterOverlappingControlsAreMarkedStaleByARepaintRequest) {
    RecordingDialog dialog;
    dialog.Open();
    Settle();
    auto* below =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 1, CRect(0, 0, 50, 50))));
    auto* above =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 2, CRect(40, 40, 90, 90))));
    auto* apart =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 3, CRect(200, 0, 250, 50))));
    for (Probe* p : {below, above, apart}) {
        p->SetUpdate(1, 0);
    }
    below->UpdateControl(1, 0);
    EXPECT_EQ(below->GetUpdate(), 0);
    EXPECT_EQ(above->GetUpdate(), 0);
    EXPECT_EQ(apart->GetUpdate(), 1);
    CRect dirty;
    ASSERT_TRUE(GetUpdateRect(dialog.GetSafeHwnd(), dirty));
    EXPECT_EQ(dirty, CRect(0, 0, 90, 90));
}

TEST_F(ControlTree, InsideAPanelLaterOverlappingControlsAreMarkedStaleToo) {
    RecordingDialog dialog;
    dialog.Open();
    auto* panel = static_cast<MPanel*>(
        dialog.AddControl(std::make_unique<MPanel>(&dialog, 100, CRect(0, 0, 300, 180))));
    Settle();
    auto* below =
        static_cast<Probe*>(panel->AddControl(std::make_unique<Probe>(panel, 1, CRect(0, 0, 50, 50))));
    auto* above =
        static_cast<Probe*>(panel->AddControl(std::make_unique<Probe>(panel, 2, CRect(40, 40, 90, 90))));
    auto* apart =
        static_cast<Probe*>(panel->AddControl(std::make_unique<Probe>(panel, 3, CRect(200, 0, 250, 50))));
    Settle();
    for (Probe* p : {below, above, apart}) {
        p->SetUpdate(1, 0);
    }
    above->UpdateControl(1, 0);
    // Only what lies above the repainted control is marked: `below` keeps its picture.
    EXPECT_EQ(below->GetUpdate(), 1);
    above->SetUpdate(1, 0);
    below->UpdateControl(1, 0);
    EXPECT_EQ(below->GetUpdate(), 0);
    EXPECT_EQ(above->GetUpdate(), 0);
    EXPECT_EQ(apart->GetUpdate(), 1);
    CRect dirty;
    ASSERT_TRUE(GetUpdateRect(dialog.GetSafeHwnd(), dirty));
    EXPECT_EQ(dirty, CRect(0, 0, 90, 90));
}

TEST_F(ControlTree, AreasLieBelowEveryControlWhenARepaintMarksWhatIsAbove) {
    RecordingDialog dialog;
    dialog.Open();
    Settle();
    auto* lowArea =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 11, CRect(0, 0, 50, 50)), 0));
    auto* highArea = static_cast<Probe*>(
        dialog.AddControl(std::make_unique<Probe>(&dialog, 12, CRect(40, 40, 90, 90)), 0));
    auto* control =
        static_cast<Probe*>(dialog.AddControl(std::make_unique<Probe>(&dialog, 13, CRect(20, 20, 60, 60))));
    struct Case {
        Probe* requester;
        int lowArea, highArea, control; // cache validity after the request
    };
    const Case cases[] = {
        {lowArea, 0, 0, 0},
        {highArea, 1, 0, 0},
        {control, 1, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requester->GetControlID());
        for (Probe* p : {lowArea, highArea, control}) {
            p->SetUpdate(1, 0);
        }
        c.requester->UpdateControl(1, 0);
        EXPECT_EQ(lowArea->GetUpdate(), c.lowArea);
        EXPECT_EQ(highArea->GetUpdate(), c.highArea);
        EXPECT_EQ(control->GetUpdate(), c.control);
    }
}

// A control with an accelerator.
class AccelProbe : public Probe {
public:
    AccelProbe(MObject* parent, unsigned id, CRect rect, unsigned vk, unsigned mods)
        : Probe(parent, id, rect) {
        SetAccelerator(vk, mods);
    }
};

TEST_F(ControlTree, AcceleratorsMatchTheModifierValue) {
    struct Case {
        std::vector<UINT> held;
        unsigned modifiers;
    };
    const Case cases[] = {{{}, 0},
                          {{VK_LSHIFT}, 16},
                          {{VK_LMENU}, 18},
                          {{VK_LCONTROL}, 17},
                          {{VK_LSHIFT, VK_LCONTROL}, 17},
                          {{VK_LMENU, VK_LCONTROL}, 19}};
    for (const Case& c : cases) {
        RecordingDialog dialog;
        const HWND hwnd = dialog.Open();
        auto* panel = static_cast<MPanel*>(
            dialog.AddControl(std::make_unique<MPanel>(&dialog, 100, CRect(0, 0, 300, 180))));
        panel->AddControl(std::make_unique<AccelProbe>(panel, 9, CRect(0, 0, 10, 10), 'S', c.modifiers));
        for (UINT vk : c.held) {
            DeliverKey(hwnd, vk, true);
        }
        DeliverKey(hwnd, 'S', true);
        DispatchPendingMessages();
        for (UINT vk : c.held) {
            DeliverKey(hwnd, vk, false);
        }
        DeliverKey(hwnd, 'S', false);
        DispatchPendingMessages();
        ASSERT_EQ(dialog.notes.size(), 1u) << "modifiers " << c.modifiers;
        EXPECT_EQ(dialog.notes[0].id, 9u);
        EXPECT_EQ(dialog.notes[0].code, 14u);
        EXPECT_EQ(dialog.notes[0].wParam, unsigned('S'));
        EXPECT_EQ(dialog.notes[0].lParam, static_cast<long>(c.modifiers));
    }
}

TEST_F(ControlTree, WheelScrollsAPanelByItsStep) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    auto* panel = static_cast<MPanel*>(
        dialog.AddControl(std::make_unique<MPanel>(&dialog, 100, CRect(0, 0, 200, 100))));
    panel->SetVirtualHeight(300);
    ASSERT_TRUE(panel->GetScrollVertical()->IsVisible());
    DeliverPointerMove(hwnd, CPoint(50, 50));
    DeliverWheel(hwnd, -2 * WHEEL_DELTA, CPoint(50, 50));
    DispatchPendingMessages();
    EXPECT_EQ(panel->GetScrollVertical()->GetPosition(), 2 * panel->GetScrollVertical()->GetStep());
    DeliverWheel(hwnd, 5 * WHEEL_DELTA, CPoint(50, 50));
    DispatchPendingMessages();
    EXPECT_EQ(panel->GetScrollVertical()->GetPosition(), 0);
}

TEST(ScrollBar, ThumbAndDragFollowTheRangeEvenWhenItIsHuge) {
    struct Case {
        int range;
        int position;
        int thumbTop; // on a 100-pixel track
        int dragBy;   // pixels the thumb is dragged from the top
        int dragged;  // the position that drag gives
    };
    const Case cases[] = {
        {0, 0, 0, 50, 0},
        {400, 200, 37, 75, 400},
        {400, 400, 75, 30, 160},
        {2'000'000'000, 2'000'000'000, 80, 80, 2'000'000'000},
        {2'000'000'000, 1'000'000'000, 40, 40, 1'000'000'000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        MScroll bar(nullptr, 1, CRect(0, 0, 10, 100), true, 1);
        bar.SetRange(c.range);
        bar.SetPosition(c.position);
        EXPECT_EQ(bar.ThumbRect().top, c.thumbTop);
        bar.SetPosition(0);
        const CPoint grab(5, bar.ThumbRect().top + 5);
        ASSERT_EQ(bar.OnControlLButtonDown(0, grab), 1);
        bar.OnControlMouseMove(0, CPoint(grab.x, grab.y + c.dragBy));
        bar.OnControlLButtonUp(0, CPoint(grab.x, grab.y + c.dragBy));
        EXPECT_EQ(bar.GetPosition(), c.dragged);
    }
}

TEST_F(ControlTree, WorkerThreadsUpdateControlsWhileTheWindowPaints) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open();
    std::vector<Probe*> probes;
    for (unsigned i = 0; i < 20; ++i) {
        probes.push_back(static_cast<Probe*>(
            dialog.AddControl(std::make_unique<Probe>(&dialog, 10 + i, CRect(i * 10, 0, i * 10 + 10, 10)))));
    }
    std::atomic<bool> stop = false;
    std::thread worker([&] {
        int n = 0;
        while (!stop) {
            Probe* p = probes[n++ % probes.size()];
            p->SetVisible(n % 2);
            p->UpdateControl(1, 0);
            PostMessageW(hwnd, WM_USER + 1, 0, 0);
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        }
    });
    for (int i = 0; i < 200; ++i) {
        Advance(kFrameIntervalMs);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    stop = true;
    worker.join();
    Settle();
    EXPECT_GT(screen->PresentCount(hwnd), 10);
}

} // namespace
} // namespace vellum::test
