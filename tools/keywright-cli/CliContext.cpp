#include "tools/keywright-cli/CliContext.h"

#include "app/shell/Paths.h"
#include "ui/framework/Manager.h"
#include "ui/framework/TextConvert.h"

#include <cstdio>
#include <cstdlib>

namespace kw::cli {

bool CliContext::ParseOptions(std::vector<std::string>& args) {
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            options_.json = true;
        } else if (arg == "--simulate") {
            options_.simulate = true;
        } else if (arg.starts_with("--simulate=")) {
            options_.simulate = true;
            options_.simulateTarget = arg.substr(11);
        } else if (arg == "--product-dir") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "keywright-cli: --product-dir needs a value\n");
                return false;
            }
            options_.productDir = args[++i];
        } else if (arg == "--trace") {
            options_.trace = true;
        } else if (arg == "--device-type" || arg == "--model") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "keywright-cli: %s needs a value\n", arg.c_str());
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--model") {
                options_.model = vellum::FromUtf8(value);
            } else {
                char* end = nullptr;
                const long type = std::strtol(value.c_str(), &end, 10);
                if (!end || *end != '\0' || value.empty()) {
                    std::fprintf(stderr, "keywright-cli: --device-type takes a number\n");
                    return false;
                }
                options_.deviceType = static_cast<int>(type);
            }
        } else {
            rest.push_back(arg);
        }
    }
    args = std::move(rest);
    return true;
}

bool CliContext::LoadProduct() {
    const auto folder =
        options_.productDir.empty() ? ProgramFolder() : std::filesystem::path(options_.productDir);
    if (const std::wstring name = DeviceCatalog::ReadSoftwareName(folder / "config.xml"); !name.empty()) {
        vellum::Manager::SetDeviceName(name);
    }
    catalog_ = std::make_unique<DeviceCatalog>(folder, nullView_);
    catalog_->LoadProductDescription();
    int type = options_.deviceType;
    bool modelFound = options_.model.empty();
    for (const KeyboardEntry& keyboard : catalog_->Keyboards()) {
        if (!options_.model.empty() && keyboard.name == options_.model) {
            type = keyboard.device_type;
            modelFound = true;
        }
    }
    catalog_->LoadDeviceDefinition(type);
    if (!modelFound) {
        // Working on another model than the one named would touch the wrong store and keyboard.
        std::fprintf(stderr, "keywright-cli: no model '%s' in config.xml\n",
                     vellum::ToUtf8(options_.model).c_str());
    }
    return modelFound;
}

std::string Utf8(const std::wstring& text) {
    return vellum::ToUtf8(text);
}

std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

} // namespace kw::cli
