#include "tools/keywright-cli/ModelSession.h"

#include "app/shell/Paths.h"

#include <cstdio>
#include <cstdlib>

namespace kw::cli {

ModelSession::~ModelSession() {
    ConfigStore::Instance().Close();
}

int ModelSession::Open(bool needKeyboard) {
    if (const int status = link_.Open(); status != 0) {
        return status;
    }
    if (needKeyboard && !link_.Connected()) {
        return LinkSession::Fail("no keyboard connected");
    }
    if (context_.Catalog().CurrentDeviceType() != link_.DeviceType()) {
        context_.Catalog().LoadDeviceDefinition(link_.DeviceType());
    }
    ConfigStore& store = ConfigStore::Instance();
    if (!store.OpenStore(DataFolder(), link_.ModelName())) {
        return LinkSession::Fail("cannot open the store " + store.Path());
    }
    store.SetDeviceType(link_.DeviceType());
    return 0;
}

void ModelSession::RunJob(int code) {
    DeviceLink& link = link_.Link();
    link.PostJob(code);
    while (link.PendingJobs() > 0) {
        link.RunPass();
    }
}

bool ParseColour(const std::string& text, int& colour) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return false;
    }
    const long rgb = std::strtol(text.c_str(), nullptr, 16);
    colour = static_cast<int>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
    return true;
}

bool ParseNumber(const std::string& text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    value = std::atoi(text.c_str());
    return value >= low && value <= high;
}

} // namespace kw::cli
