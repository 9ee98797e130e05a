// Painting, images, the overlay, skin paths and drawing helpers.

#include "UiTestSupport.h"

#include "tests/support/TestSupport.h"
#include "ui/framework/CArea.h"
#include "ui/framework/MImageList.h"
#include "ui/framework/Manager.h"

#include <cairo.h>

namespace vellum::test {
namespace {

// Writes a PNG whose `count` slices are filled with the given colours (ARGB).
void WriteStrip(const std::filesystem::path& path, const std::vector<ARGB>& colors, int slice = 4,
                int height = 4) {
    std::filesystem::create_directories(path.parent_path());
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, slice * static_cast<int>(colors.size()), height);
    cairo_t* cr = cairo_create(s);
    for (std::size_t i = 0; i < colors.size(); ++i) {
        MRender::DrawColor(cr, CRect(static_cast<int>(i) * slice, 0, static_cast<int>(i + 1) * slice, height),
                           colors[i]);
    }
    cairo_destroy(cr);
    ASSERT_EQ(cairo_surface_write_to_png(s, path.c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(s);
}

std::uint32_t PixelOf(cairo_surface_t* s, int x, int y) {
    cairo_surface_flush(s);
    const auto* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const std::uint32_t*>(row)[x];
}

class Painting : public OffscreenUi {
protected:
    void SetUp() override {
        OffscreenUi::SetUp();
        Manager::SetProgramFolder(dir.path());
    }
    void TearDown() override {
        OffscreenUi::TearDown();
        Manager::SetProgramFolder({});
    }
    kw::test::TempDir dir;
};

TEST_F(Painting, DefaultBackgroundIsNearBlackWithABlueBorderAtAlpha254) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open(0, 0, 40, 30);
    Settle();
    ASSERT_GE(screen->PresentCount(hwnd), 1);
    for (CPoint border : {CPoint(0, 0), CPoint(39, 15), CPoint(20, 29)}) {
        EXPECT_EQ(screen->Pixel(hwnd, border.x, border.y), 0xFE10A8FDu) << border.x << "," << border.y;
    }
    EXPECT_EQ(screen->Pixel(hwnd, 1, 1), 0xFE090D13u);
    EXPECT_EQ(screen->Pixel(hwnd, 20, 15), 0xFE090D13u);
}

// Writes colour words straight into the buffer the way drawing without alpha does.
class RawPixels : public MControl {
public:
    RawPixels(MObject* parent, CRect rect) : MControl(parent, 9, rect) {}
    void DrawControl(HDC& hdc, CRect) override {
        cairo_surface_t* s = cairo_get_target(hdc);
        cairo_surface_flush(s);
        const CRect r = GetRect();
        auto* row = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) +
                                                     r.top * cairo_image_surface_get_stride(s));
        row[r.left] = 0x00000000;     // black, no alpha
        row[r.left + 1] = 0x00FF0000; // red, no alpha
        row[r.left + 2] = 0x00000001; // almost black, no alpha
        cairo_surface_mark_dirty(s);
    }
};

TEST_F(Painting, LayeredWindowsMakeColouredAlphaFreePixelsOpaqueButKeepBlackTransparent) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open(0, 0, 40, 30);
    dialog.SetLayeredWindow(1);
    dialog.AddControl(std::make_unique<RawPixels>(&dialog, CRect(5, 5, 10, 6)));
    Settle();
    EXPECT_EQ(screen->Pixel(hwnd, 5, 5), 0u);
    EXPECT_EQ(screen->Pixel(hwnd, 6, 5), 0xFFFF0000u);
    EXPECT_EQ(screen->Pixel(hwnd, 7, 5), 0xFF000001u);
    EXPECT_NE(GetWindowExStyle(hwnd) & WS_EX_LAYERED, 0u);
}

TEST_F(Painting, ControlsPaintInListOrderAndOnlyInsideTheUpdateArea) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open(0, 0, 100, 60);
    auto* below = static_cast<Probe*>(
        dialog.AddControl(std::make_unique<Probe>(&dialog, 1, CRect(10, 10, 50, 50), 0xFFFF0000)));
    auto* above = static_cast<Probe*>(
        dialog.AddControl(std::make_unique<Probe>(&dialog, 2, CRect(30, 10, 70, 50), 0xFF00FF00)));
    auto* far = static_cast<Probe*>(
        dialog.AddControl(std::make_unique<Probe>(&dialog, 3, CRect(80, 10, 95, 50), 0xFF0000FF)));
    Settle();
    EXPECT_EQ(screen->Pixel(hwnd, 20, 20), 0xFFFF0000u);
    EXPECT_EQ(screen->Pixel(hwnd, 40, 20), 0xFF00FF00u);
    const int farDraws = far->draws;
    below->color = 0xFFFFFF00;
    below->UpdateControl(1, 0);
    Settle();
    EXPECT_EQ(screen->Pixel(hwnd, 20, 20), 0xFFFFFF00u);
    EXPECT_EQ(screen->Pixel(hwnd, 40, 20), 0xFF00FF00u); // the later control is drawn again on top
    EXPECT_EQ(far->draws, farDraws);
    (void)above;
}

TEST_F(Painting, RepaintsWithinAFrameIntervalWaitForIt) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open(0, 0, 40, 30);
    Settle();
    const int presents = screen->PresentCount(hwnd);
    InvalidateRect(hwnd, nullptr, false);
    DispatchPendingMessages();
    InvalidateRect(hwnd, nullptr, false);
    DispatchPendingMessages();
    EXPECT_LE(screen->PresentCount(hwnd), presents + 1);
    Advance(kFrameIntervalMs);
    EXPECT_EQ(screen->PresentCount(hwnd), presents + 2);
}

TEST_F(Painting, MissingImagesAreNotCachedAndALaterCallRetries) {
    RecordingDialog dialog;
    dialog.Open();
    PaintManager& pm = dialog.GetPaintManager();
    EXPECT_EQ(pm.AddImgResInfo(L"btn_late.png", 4), nullptr);
    WriteStrip(Manager::GetSkinFolder() / "btn_late.png", {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}, 5,
               3);
    ImgResInfo* info = pm.AddImgResInfo(L"btn_late.png", 4);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->sliceWidth, 5);
    EXPECT_EQ(info->height, 3);
    EXPECT_EQ(pm.AddImgResInfo(L"btn_late.png", 4), info);
    EXPECT_NE(pm.AddImgResInfo(102, L"PNG", 4), nullptr);
    EXPECT_EQ(pm.AddImgResInfo(999, L"PNG", 4), nullptr);
}

TEST_F(Painting, SkinFileNamesAreNormalised) {
    const auto skin = Manager::GetSkinFolder();
    EXPECT_EQ(skin, dir.path() / "skins" / "theme1");
    struct Case {
        const wchar_t* file;
        std::filesystem::path expected;
    };
    const Case cases[] = {{L"btn.png", skin / "btn.png"},
                          {L"icon\\tab_home.png", skin / "icon/tab_home.png"},
                          {L"icon//icon_pc.png", skin / "icon/icon_pc.png"},
                          {L"/abs/x.png", "/abs/x.png"}};
    for (const Case& c : cases) {
        EXPECT_EQ(Manager::ResolveSkinFile(c.file), c.expected) << ToUtf8(c.file);
    }
    WriteStrip(skin / "icon" / "icon_pc.png", {0xFF00FF00});
    RecordingDialog dialog;
    dialog.Open();
    EXPECT_NE(dialog.GetPaintManager().AddImgResInfo(L"icon//icon_pc.png", 1), nullptr);
}

TEST_F(Painting, ImageListDrawsTheLastSliceForStatesBeyondIt) {
    WriteStrip(Manager::GetSkinFolder() / "states.png", {0xFFFF0000, 0xFF00FF00, 0xFF0000FF});
    MImageList list;
    EXPECT_EQ(list.AddImage(nullptr, 1, 3), -1);
    EXPECT_EQ(list.InsertImage(5, L"states.png", 1, 3), -1);
    ASSERT_EQ(list.AddImage(L"states.png", 7, 3), 0);
    EXPECT_EQ(list.InsertImage(0, L"states.png", 8, 3), 0);
    EXPECT_EQ(list.GetImageCount(), 2);
    EXPECT_EQ(list.GetImagePathByID(7), L"states.png");
    EXPECT_EQ(list.GetItemImageData(9), nullptr);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 10);
    cairo_t* cr = cairo_create(s);
    list.DrawItemIcon(cr, CRect(0, 0, 10, 10), 1, 7);
    list.DrawItemIcon(cr, CRect(10, 0, 20, 10), 1, 1);
    list.DrawItemIcon(cr, CRect(20, 0, 30, 10), 1);
    cairo_destroy(cr);
    EXPECT_EQ(PixelOf(s, 5, 5), 0xFF0000FFu);
    EXPECT_EQ(PixelOf(s, 15, 5), 0xFF00FF00u);
    EXPECT_EQ(PixelOf(s, 25, 5), 0xFFFF0000u);
    cairo_surface_destroy(s);
}

TEST_F(Painting, AMessageShowsForThreeSecondsAndFadesInAboutOnePointTwo) {
    RecordingDialog dialog;
    dialog.Open(0, 0, 400, 300);
    PaintManager& pm = dialog.GetPaintManager();
    pm.SetMessage(L"Saved", CRect(10, 10, 210, 70), kMsgInfo);
    EXPECT_EQ(pm.GetMessageOpacity(), 255);
    AdvanceBy(2990);
    EXPECT_EQ(pm.GetMessageOpacity(), 255);
    Advance(10);
    std::uint64_t elapsed = 0;
    while (pm.GetMessageOpacity() > 0 && elapsed < 5000) {
        Advance(50);
        elapsed += 50;
    }
    EXPECT_EQ(pm.GetMessageOpacity(), 0);
    EXPECT_GE(elapsed, 1100u);
    EXPECT_LE(elapsed, 1300u);
}

TEST_F(Painting, TheOverlayIsDrawnOverTheControls) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open(0, 0, 300, 200);
    dialog.AddControl(std::make_unique<Probe>(&dialog, 1, CRect(0, 0, 300, 200), 0xFFFF0000));
    dialog.GetPaintManager().SetMessage(L"Hi", CRect(20, 20, 220, 80), kMsgInfo);
    Settle();
    EXPECT_EQ(screen->Pixel(hwnd, 21, 21), 0xFFE6E6E6u);
    EXPECT_EQ(screen->Pixel(hwnd, 200, 75), 0xFFFEFEFEu);
    EXPECT_EQ(screen->Pixel(hwnd, 250, 150), 0xFFFF0000u);
}

TEST_F(Painting, ProgressRisesByStepsAndALowTargetStopsTheFade) {
    RecordingDialog dialog;
    dialog.Open(0, 0, 400, 300);
    PaintManager& pm = dialog.GetPaintManager();
    pm.SetProgress(50, L"Working", CRect());
    EXPECT_EQ(pm.GetMessageRect(), CRect(0, 240, 400, 298));
    EXPECT_EQ(pm.GetProgressShown(), 0);
    Advance(10);
    EXPECT_EQ(pm.GetProgressShown(), 2);
    AdvanceBy(300);
    EXPECT_EQ(pm.GetProgressShown(), 50);
    pm.SetProgress(53, L"Working", CRect()); // less than 6 ahead: shown at once
    EXPECT_EQ(pm.GetProgressShown(), 53);
    pm.SetProgress(100, L"Done", CRect(5, 5, 105, 65));
    AdvanceBy(300);
    EXPECT_EQ(pm.GetProgressShown(), 100);
    AdvanceBy(200); // the fade has begun
    EXPECT_LT(pm.GetMessageOpacity(), 255);
    pm.SetProgress(3, L"Again", CRect(5, 5, 105, 65));
    EXPECT_EQ(pm.GetMessageOpacity(), 255);
    EXPECT_EQ(pm.GetProgressShown(), 3);
    AdvanceBy(3000, 50);
    EXPECT_EQ(pm.GetMessageOpacity(), 255); // the fade was stopped
}

TEST(MRenderHelpers, OriginPointsFollowTheAlignment) {
    struct Case {
        unsigned h, v;
        CPoint expected;
    };
    const Case cases[] = {{0, 0, {0, 0}}, {1, 4, {40, 15}}, {2, 8, {80, 30}}, {1, 0, {40, 0}}};
    for (const Case& c : cases) {
        EXPECT_EQ(MRender::GetOriginPoint(100, 40, 20, 10, c.h, c.v), c.expected);
        const CPoint inRect = MRender::GetOriginPoint(CRect(10, 20, 110, 60), 20, 10, c.h, c.v);
        EXPECT_EQ(inRect, CPoint(c.expected.x + 10, c.expected.y + 22));
    }
}

TEST(MRenderHelpers, CheckAlphaColorRaisesPureBlackOnly) {
    for (auto [in, out] : {std::pair<unsigned long, unsigned long>{0, 1},
                           {0xFF000000, 0xFF000001},
                           {0x10, 0x10},
                           {0xFF000100, 0xFF000100}}) {
        unsigned long c = in;
        MRender::CheckAlphaColor(c);
        EXPECT_EQ(c, out);
    }
}

TEST(MRenderHelpers, NineSliceKeepsCornersAndStretchesTheMiddle) {
    // A 6x6 image: 2-pixel red corners, green edges, blue centre.
    auto image = Image::Create(6, 6);
    cairo_t* cr = cairo_create(image->Surface());
    MRender::DrawColor(cr, CRect(0, 0, 6, 6), 0xFF00FF00);
    MRender::DrawColor(cr, CRect(2, 2, 4, 4), 0xFF0000FF);
    for (CPoint c : {CPoint(0, 0), CPoint(4, 0), CPoint(0, 4), CPoint(4, 4)}) {
        MRender::DrawColor(cr, CRect(c.x, c.y, c.x + 2, c.y + 2), 0xFFFF0000);
    }
    cairo_destroy(cr);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 40, 30);
    cr = cairo_create(s);
    MRender::DrawImageFrame(cr, image.get(), CRect(0, 0, 40, 30), 0, 0, 6, 6, 2);
    cairo_destroy(cr);
    EXPECT_EQ(PixelOf(s, 1, 1), 0xFFFF0000u);
    EXPECT_EQ(PixelOf(s, 38, 28), 0xFFFF0000u);
    EXPECT_EQ(PixelOf(s, 20, 1), 0xFF00FF00u);
    EXPECT_EQ(PixelOf(s, 1, 15), 0xFF00FF00u);
    EXPECT_EQ(PixelOf(s, 20, 15), 0xFF0000FFu);
    cairo_surface_destroy(s);
}

TEST(MRenderHelpers, VerticalTransitionRunsFromTheFirstToTheLastOpacity) {
    cairo_surface_t* src = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 101);
    cairo_t* cr = cairo_create(src);
    MRender::DrawColor(cr, CRect(0, 0, 10, 101), 0xFFFFFFFF);
    cairo_destroy(cr);
    cairo_surface_t* dst = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 101);
    cr = cairo_create(dst);
    const int last =
        MRender::DrawVerticalTransition(cr, src, CRect(0, 0, 10, 101), CRect(0, 0, 10, 101), 0, 100);
    cairo_destroy(cr);
    EXPECT_EQ(last, 0);
    EXPECT_EQ(PixelOf(dst, 5, 0) >> 24, 255u);
    EXPECT_NEAR(static_cast<int>(PixelOf(dst, 5, 50) >> 24), 128, 3);
    EXPECT_LE(PixelOf(dst, 5, 100) >> 24, 2u);
    cairo_surface_destroy(src);
    cairo_surface_destroy(dst);
}

TEST(MRenderHelpers, ChineseTextRendersAndIsMeasured) {
    const TextStyle style{L"SourceHanSansCN-Regular", 14, 0};
    const CSize latin = MRender::GetTextBounds(style, L"Keyboard");
    const CSize chinese = MRender::GetTextBounds(style, L"键盘灯光");
    EXPECT_GT(latin.cx, 20);
    EXPECT_GT(chinese.cx, 40);
    EXPECT_GE(chinese.cy, 14 + 4);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 100, 30);
    cairo_t* cr = cairo_create(s);
    MRender::DrawTextW(cr, CRect(0, 0, 100, 30), L"键盘灯光", 0xFFFFFFFF, style);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    int inked = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 100; ++x) {
            inked += (PixelOf(s, x, y) >> 24) > 128;
        }
    }
    cairo_surface_destroy(s);
    // Missing glyphs would draw hollow boxes with far fewer pixels.
    EXPECT_GT(inked, 80);
}

TEST_F(Painting, AreasFillOpaqueRampOrFrame) {
    RecordingDialog dialog;
    const HWND hwnd = dialog.Open(0, 0, 100, 100);
    auto* solid = static_cast<CArea*>(dialog.CreateArea(L"CArea", 1, CRect(0, 0, 30, 30), L"", 1, 1));
    ASSERT_NE(solid, nullptr);
    solid->SetColor(RGB(255, 0, 0));
    auto* framed = static_cast<CArea*>(dialog.CreateArea(L"CArea", 2, CRect(40, 0, 70, 30), L"", 1, 1));
    framed->SetColor(RGB(0, 0, 255));
    framed->SetFrame(1, 0xFF00FF00, 1);
    auto* ramp = static_cast<CArea*>(dialog.CreateArea(L"CArea", 3, CRect(0, 40, 30, 90), L"", 1, 1));
    ramp->SetTransparent(0, 100, RGB(255, 255, 255));
    Settle();
    EXPECT_EQ(screen->Pixel(hwnd, 15, 15), 0xFFFF0000u);
    EXPECT_EQ(screen->Pixel(hwnd, 40, 0), 0xFF00FF00u);
    EXPECT_EQ(screen->Pixel(hwnd, 55, 15), 0xFF0000FFu);
    const std::uint32_t top = screen->Pixel(hwnd, 15, 40);
    const std::uint32_t bottom = screen->Pixel(hwnd, 15, 89);
    EXPECT_GT(top & 0xFF, 0xF0u);    // nearly opaque white at the top
    EXPECT_LT(bottom & 0xFF, 0x30u); // the background shows at the bottom
}

} // namespace
} // namespace vellum::test
