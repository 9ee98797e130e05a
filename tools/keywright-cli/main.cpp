// keywright-cli: device and store operations of Keywright from a terminal.

#include "tools/keywright-cli/Commands.h"

#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: keywright-cli [--json] [--simulate[=MODEL[:MODE]]] [--product-dir DIR] "
                      "[--trace] [--device-type N | --model NAME] COMMAND ...\n\n");
    for (const kw::cli::Command& command : kw::cli::kCommands) {
        std::fprintf(out, "  %-40s %s\n", command.usage, command.summary);
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    kw::cli::CliContext context;
    if (!context.ParseOptions(args)) {
        return 2;
    }
    if (args.empty()) {
        PrintUsage(stderr);
        return 2;
    }
    for (const kw::cli::Command& command : kw::cli::kCommands) {
        if (args[0] == command.name) {
            return command.run(context, std::vector<std::string>(args.begin() + 1, args.end()));
        }
    }
    std::fprintf(stderr, "keywright-cli: unknown command '%s'\n\n", args[0].c_str());
    PrintUsage(stderr);
    return 2;
}
