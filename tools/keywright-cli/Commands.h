#pragma once

// The commands of keywright-cli. Each takes the context and its own words (after the command name)
// and returns the process exit code: 0 success, 1 failure, 2 bad usage.

#include "tools/keywright-cli/CliContext.h"

#include <string>
#include <vector>

namespace kw::cli {

struct Command {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(CliContext& context, const std::vector<std::string>& args);
};

int RunInfo(CliContext& context, const std::vector<std::string>& args);
int RunDevices(CliContext& context, const std::vector<std::string>& args);
int RunFirmwareVersion(CliContext& context, const std::vector<std::string>& args);
int RunSlots(CliContext& context, const std::vector<std::string>& args);
int RunFactoryReset(CliContext& context, const std::vector<std::string>& args);
int RunStore(CliContext& context, const std::vector<std::string>& args);
int RunDownload(CliContext& context, const std::vector<std::string>& args);
int RunLight(CliContext& context, const std::vector<std::string>& args);

// Every command, in the order help lists them.
inline const Command kCommands[] = {
    {"info", "info", "the product, its keyboard models and the selected model's layout", RunInfo},
    {"devices", "devices", "known models, the keyboard interfaces found with their mode, the connection",
     RunDevices},
    {"firmware-version", "firmware-version", "the connected keyboard's firmware version", RunFirmwareVersion},
    {"slots", "slots", "the keyboard's slot table (device types 201-299)", RunSlots},
    {"factory-reset", "factory-reset --yes", "restore the keyboard's factory settings", RunFactoryReset},
    {"store", "store", "open (creating when needed) the selected model's store and print its path", RunStore},
    {"download", "download", "write the active profile's keys and macros (layer 0) into the keyboard",
     RunDownload},
    {"light", "light modes | set MODE [...] | keys KEY=RRGGBB ...",
     "lighting modes; set a mode or per-key colours", RunLight},
};

} // namespace kw::cli
