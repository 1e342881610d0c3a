#include "PrinterProfile.h"

#include <cctype>

#include "network/protocol/Socket.h"

namespace sim {
namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text) {
    if (text.empty() || text.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = hexValue(text[i]);
        const int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

}  // namespace

std::optional<std::vector<StatusStep>> parseStatusScript(std::string_view text) {
    std::vector<StatusStep> steps;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const auto token = text.substr(0, comma);
        if (token == "silent") {
            steps.push_back({StatusStep::Kind::Silence, {}});
        } else if (token == "close") {
            steps.push_back({StatusStep::Kind::Close, {}});
        } else if (auto bytes = parseHex(token)) {
            steps.push_back({StatusStep::Kind::Answer, std::move(*bytes)});
        } else {
            return std::nullopt;
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (steps.empty()) return std::nullopt;
    return steps;
}

std::string describeStatusStep(const StatusStep& step) {
    switch (step.kind) {
        case StatusStep::Kind::Silence:
            return "no answer";
        case StatusStep::Kind::Close:
            return "connection closed";
        case StatusStep::Kind::Answer:
            break;
    }
    return "answered " + hexBytes(step.bytes.data(), step.bytes.size());
}

std::optional<MacBytes> parseMac(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == ':' || c == '-') continue;
        if (hexValue(c) < 0) return std::nullopt;
        digits.push_back(c);
    }
    const auto bytes = parseHex(digits);
    if (!bytes || bytes->size() != 6) return std::nullopt;
    MacBytes mac;
    std::copy(bytes->begin(), bytes->end(), mac.begin());
    return mac;
}

std::string hexBytes(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) text.push_back(' ');
        text.push_back(kDigits[bytes[i] >> 4]);
        text.push_back(kDigits[bytes[i] & 0x0F]);
    }
    return text;
}

std::string discoveryReply(const PrinterProfile& profile) {
    if (profile.reply) return *profile.reply;
    std::string text = "IP:" + profile.ip + ";PRNPORT:" + profile.prnPort +
                       ";SUBNETWORK:" + profile.subnet + ";GATEWAY:" + profile.gateway +
                       ";DHCP:" + profile.dhcp + ";DTIMEOUT:" + profile.dtimeout +
                       ";MAC:" + profile.mac + ";";
    text.append(profile.replyPadding, '.');
    return text;
}

PrinterProfile nextPrinter(const PrinterProfile& profile) {
    PrinterProfile next = profile;
    if (const auto address = net::parseIpv4(profile.ip)) next.ip = net::formatIpv4(*address + 1);
    if (auto mac = parseMac(profile.mac)) {
        for (auto byte = mac->rbegin(); byte != mac->rend(); ++byte) {
            if (++*byte != 0) break;
        }
        next.mac = hexBytes(mac->data(), mac->size());
    }
    return next;
}

}  // namespace sim
