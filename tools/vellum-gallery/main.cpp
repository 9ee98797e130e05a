// vellum-gallery: a dialog with areas, a scrolling list and a few controls of the framework.
//
//   vellum-gallery                      opens the gallery on $DISPLAY
//   vellum-gallery --exit-after-first-frame
//                                       prints the milliseconds from start to the first presented frame
//                                       and ends
//   vellum-gallery --screenshot FILE    writes what the screen shows of the window after its first
//                                       frame as a PNG file and ends

#include "tools/vellum-gallery/GalleryDialog.h"
#include "ui/framework/Manager.h"
#include "ui/framework/WindowApi.h"
#include "ui/framework/X11WindowSystem.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

// Pango's fontconfig font lists keep a small allocation until the process ends; the leak checker of
// sanitizer builds is told about it so that the gallery's exit code stays meaningful.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

// Reads the window's area of the screen back through a second connection.
bool SaveScreen(const vellum::CRect& r, const std::string& path) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        return false;
    }
    XSync(d, False);
    XImage* image =
        XGetImage(d, DefaultRootWindow(d), r.left, r.top, r.Width(), r.Height(), AllPlanes, ZPixmap);
    bool ok = false;
    if (image) {
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, r.Width(), r.Height());
        auto* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < r.Height(); ++y) {
            for (int x = 0; x < r.Width(); ++x) {
                reinterpret_cast<std::uint32_t*>(data + y * stride)[x] =
                    static_cast<std::uint32_t>(XGetPixel(image, x, y));
            }
        }
        cairo_surface_mark_dirty(s);
        ok = cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
        cairo_surface_destroy(s);
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const auto start = std::chrono::steady_clock::now();
    bool exitAfterFirstFrame = false;
    std::string screenshot;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--exit-after-first-frame") == 0) {
            exitAfterFirstFrame = true;
        } else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            screenshot = argv[++i];
        } else {
            std::fprintf(stderr, "usage: vellum-gallery [--exit-after-first-frame | --screenshot FILE]\n");
            return 2;
        }
    }
    auto x11 = vellum::X11WindowSystem::Open(nullptr);
    if (!x11) {
        std::fprintf(stderr, "vellum-gallery: cannot open the X display\n");
        return 1;
    }
    vellum::WindowSystem::Install(std::move(x11));

    kw::gallery::GalleryDialog dialog;
    if (exitAfterFirstFrame) {
        dialog.onFirstFrame = [&] {
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            std::printf("first frame after %.1f ms\n", ms);
            std::fflush(stdout);
            dialog.DoClose();
        };
    } else if (!screenshot.empty()) {
        dialog.onFirstFrame = [&] {
            if (!SaveScreen(dialog.GetWindowRect(), screenshot)) {
                std::fprintf(stderr, "vellum-gallery: cannot save %s\n", screenshot.c_str());
            }
            dialog.DoClose();
        };
    }
    if (!dialog.Create(0, L"VellumUI gallery", vellum::WS_POPUP | vellum::WS_MINIMIZEBOX, 0,
                       vellum::CRect(0, 0, 640, 500))) {
        std::fprintf(stderr, "vellum-gallery: cannot create the window\n");
        return 1;
    }
    dialog.CenterWindow();
    dialog.ShowModal();
    return 0;
}
