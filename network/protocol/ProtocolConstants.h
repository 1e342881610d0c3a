#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace net {

inline constexpr std::uint16_t kPrinterUdpPort = 3000;
inline constexpr std::uint16_t kSelfTestPort = 9100;
inline constexpr std::uint16_t kStatusPort = 4000;

inline constexpr std::uint32_t kLimitedBroadcast = 0xFFFFFFFFu;

inline constexpr std::size_t kDatagramReceiveSize = 1024;
inline constexpr std::size_t kStreamReceiveSize = 64;
inline constexpr std::uint16_t kLingerSeconds = 60;

// The printer's receive buffer for one settings datagram.
inline constexpr std::size_t kMaxSettingsMessageSize = 100;

inline constexpr std::array<std::uint8_t, 2> kMessagePrefix{0x42, 0x5B};  // "B["

}  // namespace net
