#include "app/device/KeyDownload.h"

#include "app/device/CommandFrames.h"
#include "app/device/KeyDownloadA.h"
#include "app/device/KeyDownloadB.h"

namespace kw {

bool KeyDownload::Run(int deviceType, DownloadSource& source, const std::map<int, int>& matrixIndex) {
    switch (FamilyOf(deviceType)) {
    case ProtocolFamily::A:
        return KeyDownloadA(hid_, clock_, source).Run(matrixIndex);
    case ProtocolFamily::B:
        KeyDownloadB(hid_, clock_, source).Run();
        return true;
    case ProtocolFamily::None:
        break;
    }
    return false;
}

void KeyDownload::Register(DeviceLink& link, std::function<std::unique_ptr<DownloadSource>()> source,
                           const std::map<int, int>& matrixIndex) {
    link.SetJobHandler(kJobDownloadKeys,
                       [this, source = std::move(source), &matrixIndex](const JobContext& context) {
                           if (const std::unique_ptr<DownloadSource> reader = source()) {
                               Run(context.deviceType, *reader, matrixIndex);
                           }
                       });
}

} // namespace kw
