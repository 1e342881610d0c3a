// Arbitrary datagrams through everything a discovery reply goes through: its text, the parser,
// and the settings and reboot messages built from the fields it yields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "network/protocol/DiscoveryReply.h"
#include "network/protocol/HardwareAddress.h"
#include "network/protocol/Messages.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

void checkValue(std::string_view reply, const std::optional<std::string>& value) {
    if (!value) return;
    require(value->find(';') == std::string::npos);
    require(value->empty() || reply.find(*value) != std::string_view::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> datagram(data, size);
    const std::string text = net::replyText(datagram);
    require(text.size() <= size);
    require(text.find('\0') == std::string::npos);

    const auto reply = net::parseReply(text);
    for (const auto* field : {&reply.ip, &reply.prnPort, &reply.subnetwork, &reply.gateway,
                              &reply.dhcp, &reply.dtimeout, &reply.mac}) {
        checkValue(text, *field);
    }
    // The raw bytes, zero bytes included, must parse just as safely.
    net::parseReply(std::string_view(reinterpret_cast<const char*>(data), size));

    if (!reply.mac) return 0;
    const auto address = net::hardwareAddressFromText(net::withoutBlanks(*reply.mac));
    if (!address) return 0;
    const auto messages = net::settingsMessages(
        *address, reply.ip.value_or(""), reply.subnetwork.value_or(""), reply.gateway.value_or(""));
    if (messages) {
        for (const auto& message : *messages) {
            require(message.size() >= net::kSettingsHeaderSize);
            require(message.size() <= net::kSettingsHeaderSize + net::kMaxSettingsValueSize);
        }
    }
    require(net::rebootMessage(*address).size() == net::kRebootMessageSize);
    return 0;
}
