// VellumUI: repainting a full dialog, a hover repaint, routing a mouse move through nested panels and
// the gallery's start to its first presented frame.

#include "tools/vellum-gallery/GalleryButton.h"
#include "ui/framework/Clock.h"
#include "ui/framework/MDialog.h"
#include "ui/framework/MPanel.h"
#include "ui/framework/MRender.h"
#include "ui/framework/OffscreenWindowSystem.h"
#include "ui/framework/WindowApi.h"

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using namespace vellum;
using kw::gallery::GalleryButton;

void UseOffscreen() {
    static bool installed = [] {
        WindowSystem::Install(std::make_unique<OffscreenWindowSystem>());
        return true;
    }();
    (void)installed;
}

// A 1280 x 720 dialog holding 200 buttons with gradient faces and mixed Latin and Chinese titles.
struct BusyDialog {
    MDialog dialog;
    std::vector<GalleryButton*> buttons;
    cairo_surface_t* buffer = nullptr;

    BusyDialog() {
        UseOffscreen();
        dialog.Create(0, L"bench", WS_POPUP, 0, CRect(0, 0, 1280, 720));
        for (int i = 0; i < 200; ++i) {
            const int col = i % 20;
            const int row = i / 20;
            const std::wstring title = (i % 2 ? L"键 " : L"Key ") + std::to_wstring(i);
            buttons.push_back(static_cast<GalleryButton*>(dialog.AddControl(std::make_unique<GalleryButton>(
                &dialog, 100 + i, CRect(8 + col * 63, 20 + row * 69, 8 + col * 63 + 58, 20 + row * 69 + 40),
                title.c_str()))));
        }
        buffer = MRender::CreateARGB32Bitmap(1280, 720, nullptr);
    }
    ~BusyDialog() { cairo_surface_destroy(buffer); }
    void Compose(const CRect& area) { dialog.GetPaintManager().Compose(buffer, area); }
};

void BM_FullRepaintWarm(benchmark::State& state) {
    BusyDialog d;
    d.Compose(CRect(0, 0, 1280, 720));
    for (auto _ : state) {
        d.Compose(CRect(0, 0, 1280, 720));
        benchmark::DoNotOptimize(d.buffer);
    }
}
BENCHMARK(BM_FullRepaintWarm)->Unit(benchmark::kMillisecond);

void BM_FullRepaintCold(benchmark::State& state) {
    BusyDialog d;
    d.Compose(CRect(0, 0, 1280, 720)); // shapes the text once; the pictures are thrown away below
    for (auto _ : state) {
        state.PauseTiming();
        for (GalleryButton* b : d.buttons) {
            b->SetUpdate(0, 0);
        }
        state.ResumeTiming();
        d.Compose(CRect(0, 0, 1280, 720));
        benchmark::DoNotOptimize(d.buffer);
    }
}
BENCHMARK(BM_FullRepaintCold)->Unit(benchmark::kMillisecond);

void BM_HoverRepaintOneControl(benchmark::State& state) {
    BusyDialog d;
    d.Compose(CRect(0, 0, 1280, 720));
    GalleryButton* b = d.buttons[57];
    const CRect r = b->GetRect();
    bool inside = false;
    for (auto _ : state) {
        inside = !inside;
        b->OnMouseMove(0, inside ? r.CenterPoint() : CPoint(-1, -1));
        d.Compose(r);
        benchmark::DoNotOptimize(d.buffer);
    }
}
BENCHMARK(BM_HoverRepaintOneControl)->Unit(benchmark::kMicrosecond);

void BM_MouseMoveThreePanelsDeep(benchmark::State& state) {
    UseOffscreen();
    MDialog dialog;
    dialog.Create(0, L"bench", WS_POPUP, 0, CRect(0, 0, 1280, 720));
    MObject* parent = &dialog;
    MPanel* panel = nullptr;
    CRect rect(0, 0, 1280, 720);
    for (int depth = 0; depth < 3; ++depth) {
        rect.DeflateRect(20, 20);
        auto owned = std::make_unique<MPanel>(parent, 200 + depth, rect);
        MPanel* next = owned.get();
        if (panel) {
            panel->AddControl(std::move(owned));
        } else {
            dialog.AddControl(std::move(owned));
        }
        panel = next;
        parent = next;
    }
    for (int i = 0; i < 100; ++i) {
        const int x = rect.left + (i % 10) * 100;
        const int y = rect.top + (i / 10) * 50;
        panel->AddControl(
            std::make_unique<GalleryButton>(panel, 1000 + i, CRect(x, y, x + 90, y + 40), L"b"));
    }
    PaintManager& pm = dialog.GetPaintManager();
    int n = 0;
    for (auto _ : state) {
        const int i = n++ % 100;
        const int x = rect.left + (i % 10) * 100 + 45;
        const int y = rect.top + (i / 10) * 50 + 20;
        pm.OnWindowMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
    DestroyWindow(dialog.GetSafeHwnd());
    // The moves invalidated the window; nothing needs painting after the run.
    MSG msg;
    while (PeekMessageW(msg, 0, true)) {
        if (msg.message == WM_QUIT) {
            break;
        }
    }
}
BENCHMARK(BM_MouseMoveThreePanelsDeep)->Unit(benchmark::kMicrosecond);

// A private Xvfb for the gallery, started once.
class Server {
public:
    static Server& Get() {
        static Server server;
        return server;
    }
    const std::string& Name() const { return name_; }
    ~Server() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

private:
    Server() {
        const char* path = "/usr/bin/Xvfb";
        if (access(path, X_OK) != 0) {
            return;
        }
        for (int n = 150 + getpid() % 50; n < 300; ++n) {
            if (std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock")) {
                continue;
            }
            const std::string display = ":" + std::to_string(n);
            std::vector<std::string> args = {path,          display,     "-screen", "0",
                                             "1280x720x24", "-nolisten", "tcp"};
            std::vector<char*> argv;
            for (auto& a : args) {
                argv.push_back(a.data());
            }
            argv.push_back(nullptr);
            if (posix_spawn(&pid_, path, nullptr, nullptr, argv.data(), environ) != 0) {
                pid_ = -1;
                return;
            }
            for (int i = 0; i < 250; ++i) {
                if (Display* d = XOpenDisplay(display.c_str())) {
                    XCloseDisplay(d);
                    name_ = display;
                    return;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }
    pid_t pid_ = -1;
    std::string name_;
};

void BM_GalleryStartToFirstFrame(benchmark::State& state) {
    const std::string& display = Server::Get().Name();
    if (display.empty() || access(KW_GALLERY_PATH, X_OK) != 0) {
        state.SkipWithError("needs Xvfb and the vellum-gallery program");
        return;
    }
    double reported = 0;
    for (auto _ : state) {
        std::string command = "DISPLAY=" + display + " " + KW_GALLERY_PATH + " --exit-after-first-frame";
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) {
            state.SkipWithError("cannot start the gallery");
            return;
        }
        double ms = 0;
        if (std::fscanf(pipe, "first frame after %lf ms", &ms) == 1) {
            reported += ms;
        }
        pclose(pipe);
    }
    // The gallery's own figure: from main() to the first presented frame.
    state.counters["first_frame_ms"] = benchmark::Counter(reported, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GalleryStartToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

} // namespace
