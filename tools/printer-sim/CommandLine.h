#pragma once

#include <optional>
#include <string>
#include <vector>

#include "PrinterProfile.h"

namespace sim {

struct CommandLine {
    std::vector<PrinterProfile> printers;
    std::optional<int> durationSeconds;
    bool quiet = false;
    bool help = false;
};

// Empty, with the reason in `error`, when the arguments make no sense.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& arguments,
                                            std::string& error);

std::string usage();

}  // namespace sim
