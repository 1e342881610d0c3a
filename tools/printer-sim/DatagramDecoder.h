#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "PrinterProfile.h"

namespace sim {

struct DiscoveryRequest {};

struct SettingsCommand {
    MacBytes mac;
    char letter;
    std::string value;
};

struct RebootCommand {
    MacBytes mac;
};

struct UnknownDatagram {};

using Datagram = std::variant<DiscoveryRequest, SettingsCommand, RebootCommand, UnknownDatagram>;

// What the printer's network interface makes of a datagram on its UDP port.
Datagram decodeDatagram(std::span<const std::uint8_t> bytes);

}  // namespace sim
