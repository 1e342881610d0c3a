#include "network/protocol/HardwareAddress.h"

namespace net {
namespace {

int digitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string withoutBlanks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (c != ' ') result.push_back(c);
    }
    return result;
}

std::optional<HardwareAddress> hardwareAddressFromText(std::string_view text) {
    if (text.size() < kHardwareAddressTextSize) return std::nullopt;
    HardwareAddress address{};
    for (std::size_t i = 0; i < address.size(); ++i) {
        const int value = 16 * digitValue(text[2 * i]) + digitValue(text[2 * i + 1]);
        address[i] = static_cast<std::uint8_t>(value & 0xFF);
    }
    return address;
}

}  // namespace net
