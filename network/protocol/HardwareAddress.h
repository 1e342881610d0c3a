#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

using HardwareAddress = std::array<std::uint8_t, 6>;

inline constexpr std::size_t kHardwareAddressTextSize = 12;

// The printer names its address as hexadecimal text, sometimes with blanks between the digits;
// messages are built from the text without them.
std::string withoutBlanks(std::string_view text);

// Positions 0 to 11 of the text, two characters a byte. A character that is no hexadecimal digit
// counts as -1 and every byte is taken modulo 256, so "G0" gives F0 and "0G" gives FF.
// A text shorter than twelve characters names no printer: there is no address, rather than bytes
// made up from whatever follows the text, which could address some other printer.
std::optional<HardwareAddress> hardwareAddressFromText(std::string_view text);

}  // namespace net
