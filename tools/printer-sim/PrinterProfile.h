#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

using MacBytes = std::array<std::uint8_t, 6>;

// One step of the status script: what the printer does on one status request.
struct StatusStep {
    enum class Kind { Answer, Silence, Close };
    Kind kind = Kind::Answer;
    std::vector<std::uint8_t> bytes;

    bool operator==(const StatusStep&) const = default;
};

// "1400000F,5C00,silent,close": hexadecimal answers of any length, no answer, or the end of the
// connection. Empty when the text is not such a list.
std::optional<std::vector<StatusStep>> parseStatusScript(std::string_view text);
std::string describeStatusStep(const StatusStep& step);

// Twelve hexadecimal digits, blanks, colons and dashes between them allowed.
std::optional<MacBytes> parseMac(std::string_view text);
std::string hexBytes(const std::uint8_t* bytes, std::size_t count);

// How one simulated printer presents itself, as configured and as its settings change it.
struct PrinterProfile {
    std::string ip = "127.0.0.1";
    std::string prnPort = "9100";
    std::string subnet = "255.0.0.0";
    std::string gateway = "127.0.0.1";
    std::string dhcp = "0";
    std::string dtimeout = "30";
    std::string mac = "00 11 22 33 44 55";
    std::vector<StatusStep> status{{StatusStep::Kind::Answer, {0x14, 0x00, 0x00, 0x0F}}};
    // Sent instead of the key list, to play a printer whose firmware answers oddly.
    std::optional<std::string> reply;
    // Filler after the key list, to make a reply longer than a datagram receive takes.
    std::size_t replyPadding = 0;
    // Whether the printer closes the self-test connection once it has the command. One that
    // does not plays a printer that hangs while printing.
    bool selfTestCloses = true;
};

// The reply to a discovery request: "IP:...;PRNPORT:...;" and so on, all seven keys.
std::string discoveryReply(const PrinterProfile& profile);

// The profile of the printer after `profile` when several are played: the next loopback address
// and the next hardware address.
PrinterProfile nextPrinter(const PrinterProfile& profile);

}  // namespace sim
