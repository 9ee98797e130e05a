#include "app/device/TracingBackend.h"

#include <cstdio>

namespace kw {

namespace {

class TracingHandle : public HidHandle {
public:
    TracingHandle(std::unique_ptr<HidHandle> inner, std::string path,
                  std::shared_ptr<TracingBackend::Sink> sink)
        : inner_(std::move(inner)), path_(std::move(path)), sink_(std::move(sink)) {}

    int SendFeatureReport(std::span<const uint8_t> report) override {
        const int result = inner_->SendFeatureReport(report);
        Trace(result > 0 ? '>' : '!', "feature", report);
        return result;
    }
    int GetFeatureReport(std::span<uint8_t> report) override {
        const int result = inner_->GetFeatureReport(report);
        if (result > 0) {
            Trace('<', "feature", report.first(std::min<size_t>(static_cast<size_t>(result), report.size())));
        } else {
            Trace('!', "feature-read", report.first(1));
        }
        return result;
    }
    int WriteOutputReport(std::span<const uint8_t> report) override {
        const int result = inner_->WriteOutputReport(report);
        Trace(result > 0 ? '>' : '!', "output", report);
        return result;
    }
    void Cancel() override { inner_->Cancel(); }

private:
    void Trace(char direction, const char* kind, std::span<const uint8_t> bytes) {
        (*sink_)(std::string(1, direction) + " " + kind + " " + path_ + " " + TracingBackend::Hex(bytes));
    }

    std::unique_ptr<HidHandle> inner_;
    std::string path_;
    std::shared_ptr<TracingBackend::Sink> sink_;
};

} // namespace

TracingBackend::TracingBackend(std::shared_ptr<HidBackend> inner, Sink sink)
    : inner_(std::move(inner)), sink_(std::make_shared<Sink>(std::move(sink))) {}

std::vector<HidInterfaceInfo> TracingBackend::Enumerate() {
    return inner_->Enumerate();
}

std::unique_ptr<HidHandle> TracingBackend::Open(const std::string& path) {
    std::unique_ptr<HidHandle> handle = inner_->Open(path);
    if (!handle) {
        return nullptr;
    }
    return std::make_unique<TracingHandle>(std::move(handle), path, sink_);
}

std::string TracingBackend::Hex(std::span<const uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() * 3);
    char digits[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : " %02x", bytes[i]);
        out += digits;
    }
    return out;
}

} // namespace kw
