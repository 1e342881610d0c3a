// Arbitrary datagrams into the simulator's decoder: whatever it recognises must be exactly the
// message that the protocol core would build for it, and whatever it calls unknown must be no
// such message.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "DatagramDecoder.h"
#include "network/protocol/Messages.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool holds(std::span<const std::uint8_t> bytes, std::size_t at, std::string_view text) {
    if (bytes.size() < at + text.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (bytes[at + i] != static_cast<std::uint8_t>(text[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto decoded = sim::decodeDatagram(bytes);

    const bool isDiscovery = size == 4 && holds(bytes, 0, "B[]G");
    const bool isSettings =
        size > 25 && holds(bytes, 0, "B[") && holds(bytes, 8, "]YJKE02GPRINTERGP");
    const bool isReboot = size == 15 && holds(bytes, 0, "B[") && holds(bytes, 8, "]EJKE02");

    if (std::holds_alternative<sim::DiscoveryRequest>(decoded)) {
        require(isDiscovery);
        require(std::equal(bytes.begin(), bytes.end(), net::kDiscoveryRequest.begin()));
    } else if (const auto* settings = std::get_if<sim::SettingsCommand>(&decoded)) {
        require(isSettings);
        require(settings->value.size() == size - 26);
        std::vector<std::uint8_t> built;
        if (const auto message =
                net::settingsMessage(settings->mac, settings->letter, settings->value)) {
            built = *message;
        } else {
            // Too long for a printer; the core builds no such message, so the layout stands.
            require(settings->value.size() > net::kMaxSettingsValueSize);
            built = *net::settingsMessage(settings->mac, settings->letter, "");
            built.insert(built.end(), settings->value.begin(), settings->value.end());
        }
        require(std::equal(bytes.begin(), bytes.end(), built.begin(), built.end()));
    } else if (const auto* reboot = std::get_if<sim::RebootCommand>(&decoded)) {
        require(isReboot);
        const auto built = net::rebootMessage(reboot->mac);
        require(std::equal(bytes.begin(), bytes.end(), built.begin(), built.end()));
    } else {
        require(std::holds_alternative<sim::UnknownDatagram>(decoded));
        require(!isDiscovery && !isSettings && !isReboot);
    }
    return 0;
}
