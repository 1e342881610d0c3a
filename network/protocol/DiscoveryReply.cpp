#include "network/protocol/DiscoveryReply.h"

#include <algorithm>

namespace net {
namespace {

std::optional<std::string> valueOf(std::string_view reply, std::string_view key) {
    const auto keyAt = reply.find(key);
    if (keyAt == std::string_view::npos) return std::nullopt;
    const auto start = keyAt + key.size();
    const auto end = reply.find(';', start);
    if (end == std::string_view::npos) return std::string{};
    return std::string{reply.substr(start, end - start)};
}

}  // namespace

DiscoveryReply parseReply(std::string_view reply) {
    DiscoveryReply parsed;
    parsed.ip = valueOf(reply, "IP:");
    parsed.prnPort = valueOf(reply, "PRNPORT:");
    parsed.subnetwork = valueOf(reply, "SUBNETWORK:");
    parsed.gateway = valueOf(reply, "GATEWAY:");
    parsed.dhcp = valueOf(reply, "DHCP:");
    parsed.dtimeout = valueOf(reply, "DTIMEOUT:");
    parsed.mac = valueOf(reply, "MAC:");
    return parsed;
}

std::string replyText(std::span<const std::uint8_t> datagram) {
    const auto end = std::find(datagram.begin(), datagram.end(), std::uint8_t{0});
    return std::string(datagram.begin(), end);
}

}  // namespace net
