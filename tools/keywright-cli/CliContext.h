#pragma once

// What every keywright-cli command starts from: the parsed options, the product files and the
// selected keyboard model.

#include "app/device/DeviceCatalog.h"

#include <memory>
#include <string>
#include <vector>

namespace kw::cli {

struct CliOptions {
    bool json = false;          // --json: machine-readable output
    bool simulate = false;      // --simulate: the simulated keyboard instead of an attached one
    std::string simulateTarget; // --simulate=MODEL[:MODE]: which model and connection mode to simulate
    std::string productDir;     // --product-dir DIR: product files from DIR
    bool trace = false;         // --trace: print every report sent and received
    int deviceType = 201;       // --device-type N
    std::wstring model;         // --model NAME (wins over --device-type)
};

class CliContext {
public:
    // Parses the common options out of `args`, leaving the command's own words in place.
    // False (with a message on stderr) for a malformed option.
    bool ParseOptions(std::vector<std::string>& args);

    // Reads config.xml and the selected model's layout file. False (with a message on stderr) when
    // --model names no model of config.xml.
    bool LoadProduct();

    const CliOptions& Options() const { return options_; }
    DeviceCatalog& Catalog() { return *catalog_; }
    // The model the command works on (after LoadProduct).
    const KeyboardEntry& Model() const { return catalog_->CurrentKeyboard(); }

private:
    CliOptions options_;
    DeviceCatalogView nullView_;
    std::unique_ptr<DeviceCatalog> catalog_;
};

// Output helpers.
std::string Utf8(const std::wstring& text);
std::string JsonString(const std::string& utf8);

} // namespace kw::cli
