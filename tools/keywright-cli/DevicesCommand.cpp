// keywright-cli devices: the keyboard models of config.xml, the vendor interfaces found, and the
// connection.

#include "tools/keywright-cli/Commands.h"
#include "tools/keywright-cli/LinkSession.h"

#include <cstdio>

namespace kw::cli {

namespace {

const char* StateName(ConnectionState state) {
    switch (state) {
    case ConnectionState::Connected:
        return "connected";
    case ConnectionState::ReceiverOnly:
        return "receiver-only";
    case ConnectionState::NoKeyboard:
        break;
    }
    return "no-keyboard";
}

const char* KindName(int kind) {
    switch (kind) {
    case 0:
        return "cable";
    case 1:
        return "receiver";
    case 2:
        return "bluetooth";
    default:
        return "none";
    }
}

} // namespace

int RunDevices(CliContext& context, const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: keywright-cli devices\n");
        return 2;
    }
    LinkSession session(context);
    if (const int status = session.Open(); status != 0) {
        return status;
    }
    std::vector<DeviceRecord> records;
    const int currentType = session.Manager().CurrentType();
    session.Manager().SetCurrentType(0); // every record, whatever its model
    session.Manager().Records(records);
    session.Manager().SetCurrentType(currentType);
    const int kind = session.Link().ConnectionKind();
    const bool json = context.Options().json;

    if (json) {
        std::printf("{\"models\":[");
    } else {
        std::printf("known models:\n");
    }
    const char* separator = "";
    for (const KeyboardEntry& keyboard : context.Catalog().Keyboards()) {
        if (json) {
            std::printf("%s{\"name\":%s,\"device_type\":%d,\"modes\":[", separator,
                        JsonString(Utf8(keyboard.name)).c_str(), keyboard.device_type);
        } else {
            std::printf("  %s (device type %d)\n", Utf8(keyboard.name).c_str(), keyboard.device_type);
        }
        const char* modeSeparator = "";
        for (const ModeEntry& mode : session.Link().Modes()) {
            if (mode.device_type != keyboard.device_type) {
                continue;
            }
            if (json) {
                std::printf(
                    "%s{\"mode\":%d,\"desc\":%s,\"vid\":%d,\"pid\":%d,\"hid_interface\":%s,\"connected\":%s}",
                    modeSeparator, mode.mode, JsonString(Utf8(mode.desc)).c_str(), mode.vid, mode.pid,
                    JsonString(Utf8(mode.hid_interface)).c_str(), mode.connected ? "true" : "false");
                modeSeparator = ",";
            } else {
                std::printf("    mode %d %-18s %04x:%04x  %-26s %s\n", mode.mode, Utf8(mode.desc).c_str(),
                            mode.vid, mode.pid, Utf8(mode.hid_interface).c_str(),
                            mode.connected ? "connected" : "-");
            }
        }
        if (json) {
            std::printf("]}");
        }
        separator = ",";
    }
    if (json) {
        std::printf("],\"interfaces\":[");
    } else {
        std::printf("vendor interfaces found: %zu%s\n", records.size(),
                    session.Manager().HasSecondary() ? " (and the streaming interface)" : "");
    }
    separator = "";
    for (const DeviceRecord& record : records) {
        if (json) {
            std::printf("%s{\"path\":%s,\"vid\":%d,\"pid\":%d,\"release\":%d,\"device_type\":%d,\"mode\":%d,"
                        "\"product\":%s}",
                        separator, JsonString(record.path).c_str(), record.vid, record.pid, record.release,
                        record.deviceType, record.mode, JsonString(Utf8(record.productString)).c_str());
        } else {
            std::printf("  %s  %04x:%04x release %04x  device type %d  mode %d\n", record.path.c_str(),
                        record.vid, record.pid, record.release, record.deviceType, record.mode);
        }
        separator = ",";
    }
    if (json) {
        std::printf("],\"secondary\":%s,\"device_type\":%d,\"state\":\"%s\",\"connection_kind\":%d,"
                    "\"connection\":\"%s\",\"simulated\":%s}\n",
                    session.Manager().HasSecondary() ? "true" : "false", session.DeviceType(),
                    StateName(session.State()), kind, KindName(kind),
                    context.Options().simulate ? "true" : "false");
    } else {
        std::printf("device type %d (%s): %s, connection %s (%d)%s\n", session.DeviceType(),
                    Utf8(session.ModelName()).c_str(), StateName(session.State()), KindName(kind), kind,
                    context.Options().simulate ? ", simulated" : "");
    }
    return 0;
}

} // namespace kw::cli
