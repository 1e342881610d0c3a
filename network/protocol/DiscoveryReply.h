#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace net {

// One printer's answer to the discovery request. A field is absent when its key is.
struct DiscoveryReply {
    std::optional<std::string> ip;
    std::optional<std::string> prnPort;
    std::optional<std::string> subnetwork;
    std::optional<std::string> gateway;
    std::optional<std::string> dhcp;
    std::optional<std::string> dtimeout;
    std::optional<std::string> mac;

    bool operator==(const DiscoveryReply&) const = default;
};

// The first occurrence of each key counts, wherever it stands; its value runs up to the next
// ";" and is empty when no ";" follows.
DiscoveryReply parseReply(std::string_view reply);

// A datagram's text ends at its first zero byte, if it has one.
std::string replyText(std::span<const std::uint8_t> datagram);

}  // namespace net
