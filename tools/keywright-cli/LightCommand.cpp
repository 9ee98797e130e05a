// keywright-cli light: the model's lighting modes, and setting a mode or per-key colours on the
// keyboard (device jobs 7 and 8).
//   light modes
//   light set MODE [--brightness N] [--speed N] [--direction left|right] [--colour RRGGBB] [--colourful]
//   light keys KEY=RRGGBB ...

#include "app/device/InMemoryKeyColourView.h"
#include "app/device/KeyColourDownload.h"
#include "app/lighting/LightRows.h"
#include "app/lighting/LightingJobs.h"
#include "app/shell/Language.h"
#include "tools/keywright-cli/Commands.h"
#include "tools/keywright-cli/ModelSession.h"
#include "ui/framework/TextConvert.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace kw::cli {

namespace {

constexpr const char* kUsage = "usage: keywright-cli light modes\n"
                               "       keywright-cli light set MODE [--brightness N] [--speed N] "
                               "[--direction left|right] [--colour RRGGBB] "
                               "[--colourful]\n"
                               "       keywright-cli light keys KEY=RRGGBB ...\n";

int Usage() {
    std::fprintf(stderr, "%s", kUsage);
    return 2;
}

std::string FeatureNames(int bits) {
    static const std::pair<int, const char*> names[] = {
        {kLightBrightness, "brightness"},
        {kLightSpeed, "speed"},
        {kLightDirectionLeftRight, "left-right"},
        {kLightDirectionUpDown, "up-down"},
        {kLightFreeColour, "colour"},
        {kLightColourSwatch, "colourful"},
        {kLightColourSetA, "colour-set-a"},
        {kLightColourSetB, "colour-set-b"},
        {kLightPerKey, "per-key"},
        {kLightMusic, "music"},
        {kLightScreen, "screen"},
        {kLightAreaColours, "areas"},
    };
    std::string text;
    for (const auto& [bit, name] : names) {
        if (bits & bit) {
            text += text.empty() ? "" : ",";
            text += name;
        }
    }
    return text;
}

std::string ModeName(const LightModeEntry& entry) {
    return Utf8(LoadText(std::wcstol(entry.name.c_str(), nullptr, 10)));
}

int ListModes(CliContext& context, ModelSession& session) {
    const DeviceDefinition& layout = session.Layout();
    if (context.Options().json) {
        std::printf("{\"model\":%s,\"device_type\":%d,\"default_mode\":%d,\"modes\":[",
                    JsonString(Utf8(session.ModelName())).c_str(), session.DeviceType(), layout.defaultMode);
        for (size_t i = 0; i < layout.lightModes.size(); ++i) {
            const LightModeEntry& entry = layout.lightModes[i];
            std::printf("%s{\"mode\":%d,\"name\":%s,\"text_id\":%s,\"config_func\":%d,\"features\":%s}",
                        i ? "," : "", entry.mode, JsonString(ModeName(entry)).c_str(),
                        JsonString(Utf8(entry.name)).c_str(), entry.attribute,
                        JsonString(FeatureNames(entry.attribute)).c_str());
        }
        std::printf("]}\n");
        return 0;
    }
    std::printf("%s (device type %d), default mode %d\n", Utf8(session.ModelName()).c_str(),
                session.DeviceType(), layout.defaultMode);
    for (const LightModeEntry& entry : layout.lightModes) {
        std::printf("%3d  %-20s 0x%03X  %s\n", entry.mode, ModeName(entry).c_str(), entry.attribute,
                    FeatureNames(entry.attribute).c_str());
    }
    return 0;
}

struct SetOptions {
    int mode = 0;
    int brightness = -1;
    int speed = -1;
    int direction = -1; // 0 left, 1 right
    int colour = -1;
    bool colourful = false;
};

bool ParseSet(const std::vector<std::string>& args, SetOptions& options) {
    if (args.size() < 2 || !ParseNumber(args[1], 1, 255, options.mode)) {
        return false;
    }
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--colourful") {
            options.colourful = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            return false;
        }
        const std::string& value = args[++i];
        if (arg == "--brightness") {
            if (!ParseNumber(value, 0, 255, options.brightness)) {
                return false;
            }
        } else if (arg == "--speed") {
            if (!ParseNumber(value, 0, 255, options.speed)) {
                return false;
            }
        } else if (arg == "--direction") {
            if (value != "left" && value != "right") {
                return false;
            }
            options.direction = value == "left" ? 0 : 1;
        } else if (arg == "--colour") {
            if (!ParseColour(value, options.colour)) {
                return false;
            }
        } else {
            return false;
        }
    }
    return true;
}

int SetMode(CliContext& context, ModelSession& session, const SetOptions& options) {
    ConfigStore& store = session.Store();
    const int deviceType = session.DeviceType();
    if (!CreateLightRows(store, LightingState::kProfile, session.Layout(), deviceType)) {
        return LinkSession::Fail("cannot create the lighting rows in the store");
    }
    LightRecord row;
    if (!store.GetLightMode(LightingState::kProfile, options.mode, row)) {
        return LinkSession::Fail("model " + Utf8(session.ModelName()) + " has no lighting mode " +
                                 std::to_string(options.mode) + " (see: light modes)");
    }
    const bool parameters = options.brightness >= 0 || options.speed >= 0 || options.direction >= 0 ||
                            options.colour >= 0 || options.colourful;
    if (options.brightness >= 0) {
        row.brightness = options.brightness;
    }
    if (options.speed >= 0) {
        row.speed = options.speed;
    }
    if (options.direction >= 0) {
        row.direction = options.direction == 0 ? LeftDirection(deviceType) : RightDirection(deviceType);
    }
    if (options.colour >= 0) {
        row.color_value = options.colour;
        row.colorful = 0; // a picked colour ends the colourful effect
    }
    if (options.colourful) {
        row.colorful = 1;
    }
    if (!store.UpdateLightMode(LightingState::kProfile, options.mode, row) ||
        !store.SetActiveLightMode(LightingState::kProfile, options.mode)) {
        return LinkSession::Fail("cannot store the lighting row");
    }

    LightingState state;
    state.selectedMode = options.mode;
    state.featureBits = row.config_func;
    InMemoryKeyColourView view(session.Layout().keys);
    LightingJobs jobs(session.Link().Manager(), session.Link().Clock(), store, state, session.Layout(), view);
    std::vector<std::string> sent;
    session.Link().Link().SetJobHandler(kJobDownloadLighting, [&](const JobContext& job) {
        const bool modeSent = state.modeSent.load();
        if (jobs.SendLighting(job.deviceType)) {
            if (job.family == ProtocolFamily::B) {
                sent.push_back(job.connectionKind == 0 ? "SetLightMode" : "SetLightMode (wireless)");
            } else {
                sent.push_back(modeSent ? "SetLightParams" : "SetLightModeA");
            }
        }
    });
    // A family-A keyboard takes the mode first and its parameters with the next job.
    state.modeSent = false;
    session.RunJob(kJobDownloadLighting);
    if (FamilyOf(deviceType) == ProtocolFamily::A && parameters) {
        session.RunJob(kJobDownloadLighting);
    }

    if (context.Options().json) {
        std::printf(
            "{\"mode\":%d,\"brightness\":%d,\"speed\":%d,\"direction\":%d,\"colorful\":%d,\"color_value\":%d,"
            "\"config_func\":%d,\"sent\":[",
            row.mode, row.brightness, row.speed, row.direction, row.colorful, row.color_value,
            row.config_func);
        for (size_t i = 0; i < sent.size(); ++i) {
            std::printf("%s%s", i ? "," : "", JsonString(sent[i]).c_str());
        }
        std::printf("]}\n");
    } else {
        std::printf("mode %d stored: brightness %d, speed %d, direction %d, %s, colour %02X%02X%02X\n",
                    row.mode, row.brightness, row.speed, row.direction,
                    row.colorful ? "colourful" : "single colour", row.color_value & 0xFF,
                    (row.color_value >> 8) & 0xFF, (row.color_value >> 16) & 0xFF);
        for (const std::string& command : sent) {
            std::printf("sent %s\n", command.c_str());
        }
    }
    if (sent.empty()) {
        return LinkSession::Fail("nothing was sent for device type " + std::to_string(deviceType));
    }
    return 0;
}

// A key of the layout by name (case-insensitive) or by code (hexadecimal with 0x, else decimal).
int FindKey(const DeviceDefinition& layout, const std::string& text) {
    for (const KeyItem& key : layout.keys) {
        const std::string name = Utf8(key.name);
        if (name.size() == text.size() &&
            std::equal(name.begin(), name.end(), text.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return key.code;
        }
    }
    char* end = nullptr;
    const long code = std::strtol(text.c_str(), &end, text.starts_with("0x") ? 16 : 10);
    if (text.empty() || *end != '\0') {
        return 0;
    }
    for (const KeyItem& key : layout.keys) {
        if (key.code == code) {
            return key.code;
        }
    }
    return 0;
}

int SetKeys(CliContext& context, ModelSession& session, const std::vector<std::string>& args) {
    const DeviceDefinition& layout = session.Layout();
    std::map<int, int> painted;
    for (size_t i = 1; i < args.size(); ++i) {
        const size_t equals = args[i].find('=');
        int colour = 0;
        const int code = equals == std::string::npos ? 0 : FindKey(layout, args[i].substr(0, equals));
        if (code == 0 || !ParseColour(args[i].substr(equals + 1), colour)) {
            std::fprintf(stderr, "keywright-cli: '%s' is not KEY=RRGGBB with a key of the layout\n",
                         args[i].c_str());
            return 2;
        }
        painted[code] = colour;
    }
    // The whole set of slot 0 is replaced, every key of the layout with its colour (0: unpainted).
    ConfigStore& store = session.Store();
    std::vector<KeyLightRecord> old;
    store.ListKeyLights(KeyColourDownload::kLightSet, old);
    std::map<int, int> colours;
    for (const KeyLightRecord& row : old) {
        colours[row.key_code] = row.key_rgb;
    }
    for (const auto& [code, colour] : painted) {
        colours[code] = colour;
    }
    std::vector<KeyLightRecord> rows;
    for (const KeyItem& key : layout.keys) {
        rows.push_back(
            {0, LightingState::kProfile, KeyColourDownload::kLightSet, key.code, colours[key.code]});
    }
    if (!store.DeleteKeyLights(KeyColourDownload::kLightSet) ||
        store.AddKeyLights(rows) != static_cast<int>(rows.size())) {
        return LinkSession::Fail("cannot store the key colours");
    }

    LightingState state;
    InMemoryKeyColourView view(layout.keys);
    LightingJobs jobs(session.Link().Manager(), session.Link().Clock(), store, state, layout, view);
    bool sent = false;
    session.Link().Link().SetJobHandler(
        kJobDownloadKeyColours, [&](const JobContext& job) { sent = jobs.SendKeyColours(job.deviceType); });
    session.RunJob(kJobDownloadKeyColours);
    int lit = 0;
    for (const KeyLightRecord& row : rows) {
        lit += row.key_rgb != 0;
    }
    if (context.Options().json) {
        std::printf("{\"keys\":%zu,\"painted\":%d,\"sent\":%s}\n", rows.size(), lit, sent ? "true" : "false");
    } else {
        std::printf("%d of %zu keys painted; %s\n", lit, rows.size(),
                    sent ? "sent SetKeyColours (8 parts)" : "not sent");
    }
    return sent ? 0 : LinkSession::Fail("the colours did not reach the keyboard");
}

} // namespace

int RunLight(CliContext& context, const std::vector<std::string>& args) {
    if (args.empty()) {
        return Usage();
    }
    SetLanguageId(kLanguageEnglish);
    const std::string& verb = args[0];
    SetOptions setOptions;
    if (verb == "modes") {
        if (args.size() != 1) {
            return Usage();
        }
    } else if (verb == "set") {
        if (!ParseSet(args, setOptions)) {
            return Usage();
        }
    } else if (verb == "keys") {
        if (args.size() < 2) {
            return Usage();
        }
    } else {
        return Usage();
    }
    ModelSession session(context);
    if (const int status = session.Open(verb != "modes"); status != 0) {
        return status;
    }
    if (verb == "modes") {
        return ListModes(context, session);
    }
    if (verb == "set") {
        return SetMode(context, session, setOptions);
    }
    return SetKeys(context, session, args);
}

} // namespace kw::cli
