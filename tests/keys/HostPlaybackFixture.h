#pragma once

// The host route wired up with in-memory backends: key events are injected into the filter and
// the frames the virtual device received are read back as text.

#include "app/device/FilterMonitor.h"
#include "app/device/InMemoryFilterBackend.h"
#include "app/device/InMemoryVirtualBackend.h"
#include "app/device/Kbvirt.h"
#include "app/keys/HostFunctions.h"
#include "app/keys/KeyHandler.h"
#include "app/keys/MacroPlayer.h"
#include "tests/keys/HostFakes.h"

#include <gtest/gtest.h>

#include <sstream>

namespace kw::test {

// "kbd 4 225", "kbd", "mouse 1", "consumer 0xe9", "spare".
inline std::string DescribeFrame(const InMemoryVirtualBackend::Frame& frame) {
    std::ostringstream text;
    switch (frame[1]) {
    case 1:
        text << "kbd";
        for (int usage = 0; usage < 256; ++usage) {
            if (frame[3 + usage / 8] & (1 << (usage % 8)))
                text << ' ' << usage;
        }
        break;
    case 2:
        text << "mouse";
        if (frame[2] != 0)
            text << ' ' << int(frame[2]);
        break;
    case 3:
        text << "consumer";
        if (const int usage = frame[2] | (frame[3] << 8))
            text << " 0x" << std::hex << usage;
        break;
    case 4:
        text << "spare";
        break;
    default:
        text << "frame " << int(frame[1]);
    }
    return text.str();
}

inline const std::vector<std::string> kReleaseAll = {"kbd", "mouse", "consumer", "spare"};

class HostPlaybackTest : public ::testing::Test {
protected:
    HostPlaybackTest() {
        auto virtualBackend = std::make_unique<InMemoryVirtualBackend>();
        device = virtualBackend.get();
        kbvirt = std::make_unique<Kbvirt>(std::move(virtualBackend));
        auto filterBackend = std::make_unique<InMemoryFilterBackend>();
        filter = filterBackend.get();
        monitor = std::make_unique<HidUsbFilter::FilterMonitor>(std::move(filterBackend));
        monitor->Open();
        player = std::make_unique<MacroPlayer>(*kbvirt, store);
        handler = std::make_unique<KeyHandler>(*kbvirt, *monitor, store, queue, *player, window);
        functions = std::make_unique<HostFunctions>(store, shell, clipboard, *kbvirt, window,
                                                    [this] { handler->ApplyProfile(); });
        functions->SetPasteSettleTime(std::chrono::milliseconds(0));
        handler->SetHostFunctions(functions.get());
        // Events reach the handler through a relay that counts what the handler has finished.
        monitor->AddListener(&relay, &Relay::OnKey);
        relay.handler = handler.get();
    }

    ~HostPlaybackTest() override {
        monitor->Stop();
        // A repeating macro a test left running ends here, before the player goes.
        player->OnWatchedPress();
        player->OnMacroKeyRelease();
        queue.StopWorker();
    }

    std::vector<std::string> Frames() const {
        std::vector<std::string> result;
        for (const auto& frame : device->Frames())
            result.push_back(DescribeFrame(frame));
        return result;
    }

    bool WaitFrames(size_t count) const {
        for (int i = 0; i < 1000; ++i) {
            if (device->FrameCount() >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    // Applies the profile and forgets what that sent.
    void Apply() {
        handler->ApplyProfile();
        device->ClearFrames();
        filter->ClearCalls();
    }

    // Injects a key event and waits until the handler has carried it out.
    void Key(int code, bool pressed) {
        const int before = relay.Handled();
        filter->Inject(code, pressed);
        ASSERT_TRUE(relay.WaitHandled(before + 1)) << "key " << code << " never reached the handler";
    }

    struct Relay {
        int OnKey(int type, int code, bool pressed) {
            const int result = handler->OnKey(type, code, pressed);
            {
                std::lock_guard lock(mutex);
                ++handled;
            }
            changed.notify_all();
            return result;
        }
        int Handled() {
            std::lock_guard lock(mutex);
            return handled;
        }
        bool WaitHandled(int count) {
            std::unique_lock lock(mutex);
            return changed.wait_for(lock, std::chrono::seconds(5), [&] { return handled >= count; });
        }
        KeyHandler* handler = nullptr;
        std::mutex mutex;
        std::condition_variable changed;
        int handled = 0;
    };

    Relay relay;
    FakeHostKeyStore store;
    FakeMacroQueue queue;
    FakeWindow window;
    FakeShell shell;
    FakeClipboard clipboard;
    InMemoryVirtualBackend* device = nullptr;
    InMemoryFilterBackend* filter = nullptr;
    std::unique_ptr<Kbvirt> kbvirt;
    std::unique_ptr<HidUsbFilter::FilterMonitor> monitor;
    std::unique_ptr<MacroPlayer> player;
    std::unique_ptr<KeyHandler> handler;
    std::unique_ptr<HostFunctions> functions;
};

} // namespace kw::test
