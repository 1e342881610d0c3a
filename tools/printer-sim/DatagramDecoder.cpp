#include "DatagramDecoder.h"

#include <algorithm>
#include <string_view>

namespace sim {
namespace {

constexpr std::string_view kDiscovery = "B[]G";
constexpr std::string_view kPrefix = "B[";
constexpr std::string_view kSettingsMarker = "]YJKE02GPRINTERGP";
constexpr std::string_view kRebootMarker = "]EJKE02";
constexpr std::size_t kMacAt = 2;
constexpr std::size_t kMarkerAt = 8;

bool holdsAt(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view text) {
    return bytes.size() >= at + text.size() &&
           std::equal(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

MacBytes macAt(std::span<const std::uint8_t> bytes) {
    MacBytes mac;
    std::copy_n(bytes.begin() + kMacAt, mac.size(), mac.begin());
    return mac;
}

}  // namespace

Datagram decodeDatagram(std::span<const std::uint8_t> bytes) {
    if (bytes.size() == kDiscovery.size() && holdsAt(bytes, 0, kDiscovery)) {
        return DiscoveryRequest{};
    }
    if (!holdsAt(bytes, 0, kPrefix)) return UnknownDatagram{};
    const std::size_t letterAt = kMarkerAt + kSettingsMarker.size();
    if (bytes.size() > letterAt && holdsAt(bytes, kMarkerAt, kSettingsMarker)) {
        return SettingsCommand{macAt(bytes), static_cast<char>(bytes[letterAt]),
                               std::string(bytes.begin() + letterAt + 1, bytes.end())};
    }
    if (bytes.size() == kMarkerAt + kRebootMarker.size() &&
        holdsAt(bytes, kMarkerAt, kRebootMarker)) {
        return RebootCommand{macAt(bytes)};
    }
    return UnknownDatagram{};
}

}  // namespace sim
