#pragma once

// The worker's light frame step of the music and screen modes (StreamFrame): every key that the
// layout's key grid places gets the colour of its cell and the view is redrawn; then, when some
// key's colour value is 2 or more and the keyboard is on its cable, the view's colours are sent as
// one light frame: BeginStreaming once per process run, then the 6 parts on the streaming
// interface, each 1 ms after the previous, stopping at the first part that cannot be written.

#include "app/device/HidDeviceManager.h"
#include "app/device/KeyColourView.h"
#include "app/device/LightFrame.h"
#include "app/device/LinkClock.h"
#include "app/device/ProductTypes.h"

#include <atomic>
#include <functional>

namespace kw {

class FrameStreamer {
public:
    enum class Outcome {
        Dark,     // every colour below 2: nothing sent
        NotWired, // not on the cable: nothing sent
        Sent,
        Failed, // a report could not be written; the next frame is sent whole again
    };
    // Colour of grid cell (row, column).
    using CellColour = std::function<uint32_t(int row, int column)>;

    // `begun` remembers that BeginStreaming went out; the process-wide flag unless given.
    FrameStreamer(HidDeviceManager& hid, LinkClock& clock, std::atomic<bool>& begun = ProcessStreamingBegun())
        : hid_(hid), clock_(clock), begun_(begun) {}

    Outcome StreamFrame(const DeviceDefinition& layout, const CellColour& cellColour, KeyColourView& view);
    // Sends the view's colours as one frame (without the colouring and the checks).
    Outcome SendFrame(const LightFrameBlock& block);

    // Set once BeginStreaming was written in this process; never cleared.
    static std::atomic<bool>& ProcessStreamingBegun();

private:
    HidDeviceManager& hid_;
    LinkClock& clock_;
    std::atomic<bool>& begun_;
};

} // namespace kw
