// End to end on a real X server: a private Xvfb, a dialog with a control, a synthetic click through
// XTest and the screen's pixels read back while the program runs.

#include "UiTestSupport.h"

#include "tests/support/TestSupport.h"
#include "tests/support/XvfbServer.h"
#include "ui/framework/Manager.h"
#include "ui/framework/X11WindowSystem.h"

#include <cairo.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace vellum::test {
namespace {

using namespace std::chrono_literals;

// Turns green when clicked.
class ClickTarget : public Probe {
public:
    using Probe::Probe;
    int OnControlLButtonUp(unsigned keys, CPoint pt) override {
        if (GetRect().PtInRect(pt)) {
            color = 0xFF00FF00;
            UpdateControl(1, 0);
            ++clicks;
        }
        return Probe::OnControlLButtonUp(keys, pt);
    }
    int clicks = 0;
};

// Pumps the loop until `done` or the time is up.
template <class F> bool PumpUntil(F done, std::chrono::milliseconds limit = 3000ms) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        DispatchPendingMessages();
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

std::uint32_t ScreenPixel(Display* d, int x, int y) {
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        return 0xDEADBEEF;
    }
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return static_cast<std::uint32_t>(p & 0xFFFFFF);
}

// Colours drawn at alpha 254 reach an opaque window premultiplied: each channel may be one lower.
bool Near(std::uint32_t pixel, std::uint32_t expected) {
    for (int shift : {0, 8, 16}) {
        const int a = (pixel >> shift) & 0xFF;
        const int b = (expected >> shift) & 0xFF;
        if (std::abs(a - b) > 2) {
            return false;
        }
    }
    return true;
}

TEST(X11EndToEnd, ClickingARealWindowRepaintsWhatTheScreenShows) {
    if (!kw::test::XvfbServer::Installed()) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    kw::test::XvfbServer server("1280x720x24", {"-wr"});
    ASSERT_NE(server.Display(), nullptr) << "Xvfb did not start";
    auto system = X11WindowSystem::Open(server.Display());
    ASSERT_NE(system, nullptr);
    X11WindowSystem* x11 = system.get();
    WindowSystem::Install(std::move(system));
    Clock::Install(nullptr);

    {
        RecordingDialog dialog;
        const HWND hwnd = dialog.Create(0, L"End to end", WS_POPUP, 0, CRect(100, 80, 400, 280));
        ASSERT_NE(hwnd, 0u);
        ASSERT_NE(x11->NativeWindow(hwnd), 0u);
        EXPECT_EQ(GetWorkArea(CRect(100, 80, 400, 280)), CRect(0, 0, 1280, 720));
        dialog.CenterWindow();
        EXPECT_EQ(dialog.GetWindowRect(), CRect(490, 260, 790, 460));
        dialog.MoveWindow(100, 80, 300, 200);
        auto* target = static_cast<ClickTarget*>(dialog.AddControl(
            std::make_unique<ClickTarget>(&dialog, 77, CRect(50, 40, 150, 100), 0xFFFF0000)));
        dialog.ShowWindow(SW_SHOW);

        Display* probe = XOpenDisplay(server.Display());
        ASSERT_NE(probe, nullptr);
        // The first frame: the control red on the dialog's background, inside a blue border.
        ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(probe, 100 + 60, 80 + 50) == 0xFF0000; }))
            << std::hex << ScreenPixel(probe, 160, 130);
        EXPECT_TRUE(Near(ScreenPixel(probe, 100, 80), 0x10A8FD)) << std::hex << ScreenPixel(probe, 100, 80);
        EXPECT_TRUE(Near(ScreenPixel(probe, 100 + 200, 80 + 150), 0x090D13))
            << std::hex << ScreenPixel(probe, 300, 230);
        EXPECT_FALSE(Near(ScreenPixel(probe, 99, 80), 0x10A8FD)); // outside the window

        XTestFakeMotionEvent(probe, -1, 100 + 70, 80 + 60, CurrentTime);
        XTestFakeButtonEvent(probe, 1, True, CurrentTime);
        XTestFakeButtonEvent(probe, 1, False, CurrentTime);
        XFlush(probe);
        ASSERT_TRUE(PumpUntil([&] { return target->clicks == 1; })) << "the click did not arrive";
        ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(probe, 100 + 60, 80 + 50) == 0x00FF00; }))
            << std::hex << ScreenPixel(probe, 160, 130);
        ASSERT_FALSE(dialog.notes.empty());
        EXPECT_EQ(dialog.notes.back().id, 77u);
        EXPECT_EQ(dialog.notes.back().code, 2u);

        // A message from another process arrives as a ClientMessage.
        SetPropW(hwnd, L"VELLUM_E2E_MARK", 1);
        EXPECT_TRUE(x11->PostToMarkedWindow(L"VELLUM_E2E_MARK", WM_USER_CLOSE_WINDOW, IDYES, 0));
        EXPECT_EQ(dialog.ShowModal(), static_cast<unsigned>(IDYES));
        XCloseDisplay(probe);
    }

    // A layered window whose background picture covers only its left half: without a compositor the
    // transparent half is cut out of the window, so the screen beneath stays visible there.
    {
        kw::test::TempDir folder;
        Manager::SetProgramFolder(folder.path());
        std::filesystem::create_directories(Manager::GetSkinFolder());
        cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 100);
        cairo_t* cr = cairo_create(picture);
        cairo_set_source_rgb(cr, 1, 0, 1);
        cairo_paint(cr);
        cairo_destroy(cr);
        ASSERT_EQ(cairo_surface_write_to_png(picture, (Manager::GetSkinFolder() / "half.png").c_str()),
                  CAIRO_STATUS_SUCCESS);
        cairo_surface_destroy(picture);

        Display* probe = XOpenDisplay(server.Display());
        ASSERT_NE(probe, nullptr);
        const std::uint32_t beneath = ScreenPixel(probe, 700 + 150, 300 + 50);
        RecordingDialog layered;
        ASSERT_NE(layered.Create(0, L"Layered", WS_POPUP, WS_EX_LAYERED, CRect(700, 300, 900, 400)), 0u);
        layered.SetLayeredWindow(1);
        ASSERT_EQ(layered.LoadBKImage(L"half.png"), 1);
        layered.ShowWindow(SW_SHOW);
        EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(probe, 700 + 50, 300 + 50) == 0xFF00FF; }))
            << std::hex << ScreenPixel(probe, 750, 350);
        // The server's root is white (-wr); an uncut transparent pixel would show black.
        EXPECT_EQ(beneath, 0xFFFFFFu);
        if (!x11->HasCompositor()) {
            EXPECT_EQ(ScreenPixel(probe, 700 + 150, 300 + 50), beneath);
        }
        XCloseDisplay(probe);
        Manager::SetProgramFolder({});
    }
    WindowSystem::Install(nullptr);
}

} // namespace
} // namespace vellum::test
