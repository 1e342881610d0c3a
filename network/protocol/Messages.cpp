#include "network/protocol/Messages.h"

#include "network/protocol/ProtocolConstants.h"

static_assert(net::kSettingsHeaderSize + net::kMaxSettingsValueSize < net::kMaxSettingsMessageSize);

namespace net {
namespace {

constexpr std::string_view kSettingsMarker = "]YJKE02GPRINTERGP";
constexpr std::string_view kRebootMarker = "]EJKE02";

}  // namespace

std::optional<Message> settingsMessage(const HardwareAddress& address, char letter,
                                       std::string_view value) {
    if (value.size() > kMaxSettingsValueSize) return std::nullopt;
    Message message;
    message.reserve(kSettingsHeaderSize + value.size());
    message.insert(message.end(), kMessagePrefix.begin(), kMessagePrefix.end());
    message.insert(message.end(), address.begin(), address.end());
    message.insert(message.end(), kSettingsMarker.begin(), kSettingsMarker.end());
    message.push_back(static_cast<std::uint8_t>(letter));
    message.insert(message.end(), value.begin(), value.end());
    return message;
}

std::optional<std::array<Message, 4>> settingsMessages(const HardwareAddress& address,
                                                       std::string_view ipAddress,
                                                       std::string_view subnetMask,
                                                       std::string_view gateway) {
    auto dhcp = settingsMessage(address, kDhcpLetter, "0");
    auto ip = settingsMessage(address, kAddressLetter, ipAddress);
    auto subnet = settingsMessage(address, kSubnetLetter, subnetMask);
    auto route = settingsMessage(address, kGatewayLetter, gateway);
    if (!dhcp || !ip || !subnet || !route) return std::nullopt;
    return std::array<Message, 4>{std::move(*dhcp), std::move(*ip), std::move(*subnet),
                                  std::move(*route)};
}

std::array<std::uint8_t, kRebootMessageSize> rebootMessage(const HardwareAddress& address) {
    std::array<std::uint8_t, kRebootMessageSize> message{};
    auto out = message.begin();
    for (auto b : kMessagePrefix) *out++ = b;
    for (auto b : address) *out++ = b;
    for (char c : kRebootMarker) *out++ = static_cast<std::uint8_t>(c);
    return message;
}

}  // namespace net
