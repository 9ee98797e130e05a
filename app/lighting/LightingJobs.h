#pragma once

// The lighting work of the device worker and of the two other threads that talk to the keyboard:
//   job 7, SendLighting: the selected mode's row as the keyboard's lighting command;
//   job 8, SendKeyColours: the stored colours of custom slot 0 (lighting set 128);
//   StreamFrame: one light frame per idle worker pass in the music and screen modes;
//   SelectCustomLight (user-interface thread) and SendMusicLevel (audio thread).
// The store, the state, the layout and the view belong to the main window and outlive this.

#include "app/device/DeviceLink.h"
#include "app/device/FrameStreamer.h"
#include "app/device/KeyColourView.h"
#include "app/device/LightCommands.h"
#include "app/lighting/LightingState.h"
#include "app/store/ConfigStore.h"

#include <cstdint>
#include <mutex>
#include <optional>

namespace kw {

class LightingJobs {
public:
    LightingJobs(HidDeviceManager& hid, LinkClock& clock, ConfigStore& store, LightingState& state,
                 const DeviceDefinition& layout, KeyColourView& view,
                 std::atomic<bool>& streamingBegun = FrameStreamer::ProcessStreamingBegun())
        : hid_(hid), clock_(clock), store_(store), state_(state), layout_(layout), view_(view),
          streamer_(hid, clock, streamingBegun) {}

    // Jobs 7 and 8 and the frame streamer of the worker.
    void Register(DeviceLink& link);

    // Job 7. False when the row is missing or nothing was sent.
    bool SendLighting(int deviceType);
    // Job 8 (nothing for device types of 300 and above). False when a part could not be written.
    bool SendKeyColours(int deviceType);
    // The worker's light frame when the selected mode is a music or screen mode and a colour
    // source is set.
    FrameStreamer::Outcome StreamFrame();
    // User-interface thread, device types below 200 with a row for the selected mode: selects the
    // custom set on the keyboard, then shows the colours of set 128 + selector in the view.
    bool SelectCustomLight(int deviceType);
    // Audio thread: while the lighting page is shown in the music mode, every key of the view
    // becomes 0xFFFF00 and the level of `sample` goes to the keyboard.
    bool SendMusicLevel(std::optional<int16_t> sample, bool lightingPageShown);

    // Where StreamFrame takes the colour of each key grid cell (the music picture or the screen).
    void SetCellColourSource(FrameStreamer::CellColour source);

private:
    HidDeviceManager& hid_;
    LinkClock& clock_;
    ConfigStore& store_;
    LightingState& state_;
    const DeviceDefinition& layout_;
    KeyColourView& view_;
    FrameStreamer streamer_;
    std::mutex sourceMutex_;
    FrameStreamer::CellColour cellColour_;
};

} // namespace kw
