#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "network/protocol/HardwareAddress.h"

namespace net {

using Message = std::vector<std::uint8_t>;

inline constexpr std::array<std::uint8_t, 4> kDiscoveryRequest{0x42, 0x5B, 0x5D, 0x47};  // "B[]G"

// ESC/POS GS ( A with pL = 2, pH = 0, n = 0, m = 2: print the self-test page.
inline constexpr std::array<std::uint8_t, 7> kSelfTestCommand{0x1D, 0x28, 0x41, 0x02,
                                                              0x00, 0x00, 0x02};

inline constexpr std::array<std::uint8_t, 2> kStatusRequest{0x1B, 0x76};

inline constexpr std::size_t kSettingsHeaderSize = 26;
// The printer keeps a settings datagram in a 100-byte buffer together with a terminator.
inline constexpr std::size_t kMaxSettingsValueSize = 73;
inline constexpr std::size_t kRebootMessageSize = 15;

inline constexpr char kDhcpLetter = 'D';
inline constexpr char kAddressLetter = 'I';
inline constexpr char kSubnetLetter = 'S';
inline constexpr char kGatewayLetter = 'W';

// One parameter for the printer named by `address`: 26 bytes of header and the value's text.
// A value longer than the printer's buffer takes gives no message: writing it whole would run
// past that buffer, and cutting it would hand the printer a different setting than the one
// typed.
std::optional<Message> settingsMessage(const HardwareAddress& address, char letter,
                                       std::string_view value);

// D ("0"), I, S and W in the order the printer expects them, or none at all when one of the
// values does not fit: a printer must never get half of a new configuration.
std::optional<std::array<Message, 4>> settingsMessages(const HardwareAddress& address,
                                                       std::string_view ipAddress,
                                                       std::string_view subnetMask,
                                                       std::string_view gateway);

std::array<std::uint8_t, kRebootMessageSize> rebootMessage(const HardwareAddress& address);

}  // namespace net
