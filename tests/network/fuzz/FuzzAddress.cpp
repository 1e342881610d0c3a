// Arbitrary texts as printers' and users' addresses: the dotted IPv4 reading, the address text
// check and the hardware address reading against plain readings of their rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "network/protocol/HardwareAddress.h"
#include "network/protocol/Socket.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// Four parts between dots, each one to three decimal digits worth at most 255.
std::optional<std::uint32_t> referenceIpv4(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '.') {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (parts.size() != 4) return std::nullopt;
    std::uint32_t address = 0;
    for (auto part : parts) {
        if (part.empty() || part.size() > 3) return std::nullopt;
        unsigned value = 0;
        for (char c : part) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value > 255) return std::nullopt;
        address = address * 256 + value;
    }
    return address;
}

int referenceDigit(char c) {
    const std::string_view digits = "0123456789ABCDEF";
    const std::string_view lower = "0123456789abcdef";
    if (auto at = digits.find(c); at != std::string_view::npos) return static_cast<int>(at);
    if (auto at = lower.find(c); at != std::string_view::npos) return static_cast<int>(at);
    return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const auto address = net::parseIpv4(text);
    require(address == referenceIpv4(text));
    require(net::isUsableAddressText(text) == (text.size() <= 15));
    if (address) {
        // Whatever reads as an address is usable as it is, and reads back the same when written.
        require(net::isUsableAddressText(text));
        require(net::parseIpv4(net::formatIpv4(*address)) == address);
    }

    const auto hardware = net::hardwareAddressFromText(text);
    require(hardware.has_value() == (text.size() >= 12));
    if (hardware) {
        for (std::size_t i = 0; i < 6; ++i) {
            const int value = 16 * referenceDigit(text[2 * i]) + referenceDigit(text[2 * i + 1]);
            require((*hardware)[i] == static_cast<std::uint8_t>((value + 256) % 256));
        }
    }
    const auto bare = net::withoutBlanks(text);
    require(bare.find(' ') == std::string::npos);
    require(bare.size() <= text.size());
    return 0;
}
