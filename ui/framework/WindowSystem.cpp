#include "ui/framework/WindowSystem.h"

#include "ui/framework/OffscreenWindowSystem.h"
#include "ui/framework/X11WindowSystem.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

namespace vellum {

namespace {

std::mutex& SystemLock() {
    static std::mutex lock;
    return lock;
}

std::unique_ptr<WindowSystem>& Installed() {
    static std::unique_ptr<WindowSystem> system;
    return system;
}

} // namespace

WindowSystem* WindowSystem::Current() {
    std::lock_guard guard(SystemLock());
    return Installed().get();
}

WindowSystem& WindowSystem::Get() {
    std::lock_guard guard(SystemLock());
    if (!Installed()) {
        const char* backend = std::getenv("VELLUM_BACKEND");
        if (backend && std::strcmp(backend, "offscreen") == 0) {
            Installed() = std::make_unique<OffscreenWindowSystem>();
        } else {
            Installed() = X11WindowSystem::Open(nullptr);
        }
        if (!Installed()) {
            Installed() = OffscreenWindowSystem::Unavailable();
        }
    }
    return *Installed();
}

void WindowSystem::Install(std::unique_ptr<WindowSystem> system) {
    std::lock_guard guard(SystemLock());
    Installed() = std::move(system);
}

} // namespace vellum
