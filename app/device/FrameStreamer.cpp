#include "app/device/FrameStreamer.h"

#include <algorithm>

namespace kw {

namespace {

using namespace std::chrono_literals;

} // namespace

std::atomic<bool>& FrameStreamer::ProcessStreamingBegun() {
    static std::atomic<bool> begun{false};
    return begun;
}

FrameStreamer::Outcome FrameStreamer::StreamFrame(const DeviceDefinition& layout,
                                                  const CellColour& cellColour, KeyColourView& view) {
    const int rows = std::clamp(layout.rowCount, 0, kGridRows);
    const int columns = std::clamp(layout.colCount, 0, kGridColumns);
    bool lit = false;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const uint8_t code = layout.grid[row][column];
            if (code == kEmptyCell) {
                continue;
            }
            const uint32_t colour = cellColour(row, column);
            view.SetKeyColor(code, colour);
            lit = lit || colour >= 2;
        }
    }
    view.UpdateControl();
    if (!lit) {
        return Outcome::Dark;
    }
    if (hid_.ConnectionKind() != 0) {
        return Outcome::NotWired;
    }
    return SendFrame(LightFrame::Build(view.GetKeyItems(), layout.colourIndex));
}

FrameStreamer::Outcome FrameStreamer::SendFrame(const LightFrameBlock& block) {
    if (!begun_.load()) {
        if (!hid_.WriteReport(LightFrame::BeginStreaming())) {
            return Outcome::Failed; // tried again before the next frame
        }
        begun_.store(true);
    }
    for (const OutputReport& part : LightFrame::Parts(block)) {
        clock_.Sleep(1ms);
        if (!hid_.WriteSecondary(part)) {
            return Outcome::Failed;
        }
    }
    return Outcome::Sent;
}

} // namespace kw
