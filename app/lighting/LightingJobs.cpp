#include "app/lighting/LightingJobs.h"

#include "app/device/KeyColourDownload.h"
#include "app/device/MusicLevel.h"

namespace kw {

namespace {

constexpr uint32_t kMusicViewColour = 0xFFFF00;

} // namespace

void LightingJobs::Register(DeviceLink& link) {
    link.SetJobHandler(kJobDownloadLighting,
                       [this](const JobContext& context) { SendLighting(context.deviceType); });
    link.SetJobHandler(kJobDownloadKeyColours,
                       [this](const JobContext& context) { SendKeyColours(context.deviceType); });
    link.SetFrameStreamer([this] { StreamFrame(); });
}

bool LightingJobs::SendLighting(int deviceType) {
    LightRecord row;
    if (!store_.GetLightMode(LightingState::kProfile, state_.selectedMode.load(), row)) {
        return false;
    }
    bool modeSent = state_.modeSent.load();
    const bool sent = LightCommands(hid_).SendLightMode(deviceType, row, state_.selector.load(), modeSent);
    state_.modeSent.store(modeSent);
    return sent;
}

bool LightingJobs::SendKeyColours(int deviceType) {
    if (FamilyOf(deviceType) == ProtocolFamily::None) {
        return false;
    }
    std::vector<KeyLightRecord> rows;
    store_.ListKeyLights(KeyColourDownload::kLightSet, rows);
    KeyColourDownload download(hid_, clock_);
    return download.Send(KeyColourDownload::BuildBlock(rows, layout_.colourIndex));
}

FrameStreamer::Outcome LightingJobs::StreamFrame() {
    if ((state_.featureBits.load() & (kLightMusic | kLightScreen)) == 0) {
        return FrameStreamer::Outcome::Dark;
    }
    FrameStreamer::CellColour source;
    {
        std::lock_guard lock(sourceMutex_);
        source = cellColour_;
    }
    if (!source) {
        return FrameStreamer::Outcome::Dark;
    }
    return streamer_.StreamFrame(layout_, source, view_);
}

bool LightingJobs::SelectCustomLight(int deviceType) {
    if (deviceType >= 200) {
        return false;
    }
    LightRecord row;
    if (!store_.GetLightMode(LightingState::kProfile, state_.selectedMode.load(), row)) {
        return false;
    }
    const int selector = state_.selector.load();
    const bool sent = LightCommands(hid_).SelectCustomLight(deviceType, row, selector);
    view_.ResetAllItemsColor(0);
    std::vector<KeyLightRecord> colours;
    store_.ListKeyLights(KeyColourDownload::kLightSet + selector, colours);
    for (const KeyLightRecord& colour : colours) {
        view_.SetKeyColor(colour.key_code, static_cast<uint32_t>(colour.key_rgb));
    }
    view_.UpdateControl();
    return sent;
}

bool LightingJobs::SendMusicLevel(std::optional<int16_t> sample, bool lightingPageShown) {
    if (!lightingPageShown || (state_.featureBits.load() & kLightMusic) == 0) {
        return false;
    }
    view_.ResetAllItemsColor(kMusicViewColour);
    return MusicLevel::Send(hid_, state_.musicMode.load(),
                            MusicLevel::Level(sample, state_.sensitivity.load()));
}

void LightingJobs::SetCellColourSource(FrameStreamer::CellColour source) {
    std::lock_guard lock(sourceMutex_);
    cellColour_ = std::move(source);
}

} // namespace kw
