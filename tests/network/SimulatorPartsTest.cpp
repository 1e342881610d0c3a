// The simulator's own reading of its options and of the datagrams it receives. It decodes
// independently of the protocol core, so that the exchange tests check one against the other.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "DatagramDecoder.h"
#include "PrinterProfile.h"

namespace {

using sim::StatusStep;

std::vector<std::uint8_t> bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

TEST(StatusScript, ReadsAnswersSilenceAndClose) {
    const auto script = sim::parseStatusScript("1400000F,5C00,silent,close");
    ASSERT_TRUE(script.has_value());
    const std::vector<StatusStep> expected = {{StatusStep::Kind::Answer, {0x14, 0x00, 0x00, 0x0F}},
                                              {StatusStep::Kind::Answer, {0x5C, 0x00}},
                                              {StatusStep::Kind::Silence, {}},
                                              {StatusStep::Kind::Close, {}}};
    EXPECT_EQ(*script, expected);
    for (const char* bad : {"", "14000", "1400,,silent", "quiet", "14 00"}) {
        EXPECT_FALSE(sim::parseStatusScript(bad).has_value()) << bad;
    }
}

TEST(Datagrams, AreDecodedByTheirLayout) {
    EXPECT_TRUE(std::holds_alternative<sim::DiscoveryRequest>(sim::decodeDatagram(bytes("B[]G"))));
    EXPECT_TRUE(std::holds_alternative<sim::UnknownDatagram>(sim::decodeDatagram(bytes("B[]GG"))));

    auto settings = bytes("B[");
    const std::vector<std::uint8_t> mac = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    settings.insert(settings.end(), mac.begin(), mac.end());
    const auto tail = bytes("]YJKE02GPRINTERGPI127.0.0.7");
    settings.insert(settings.end(), tail.begin(), tail.end());
    const auto decoded = std::get<sim::SettingsCommand>(sim::decodeDatagram(settings));
    EXPECT_EQ(decoded.mac, (sim::MacBytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    EXPECT_EQ(decoded.letter, 'I');
    EXPECT_EQ(decoded.value, "127.0.0.7");

    auto reboot = bytes("B[");
    reboot.insert(reboot.end(), mac.begin(), mac.end());
    const auto marker = bytes("]EJKE02");
    reboot.insert(reboot.end(), marker.begin(), marker.end());
    EXPECT_EQ(std::get<sim::RebootCommand>(sim::decodeDatagram(reboot)).mac,
              (sim::MacBytes{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
    reboot.push_back('!');
    EXPECT_TRUE(std::holds_alternative<sim::UnknownDatagram>(sim::decodeDatagram(reboot)));
}

TEST(CommandLine, WithoutArgumentsPlaysTheDefaultPrinter) {
    std::string error;
    const auto line = sim::parseCommandLine({}, error);
    ASSERT_TRUE(line.has_value());
    ASSERT_EQ(line->printers.size(), 1u);
    EXPECT_EQ(sim::discoveryReply(line->printers[0]),
              "IP:127.0.0.1;PRNPORT:9100;SUBNETWORK:255.0.0.0;GATEWAY:127.0.0.1;DHCP:0;"
              "DTIMEOUT:30;MAC:00 11 22 33 44 55;");
    EXPECT_EQ(line->printers[0].status,
              (std::vector<StatusStep>{{StatusStep::Kind::Answer, {0x14, 0x00, 0x00, 0x0F}}}));
}

TEST(CommandLine, DescribesSeveralPrinters) {
    std::string error;
    const auto line = sim::parseCommandLine({"--ip", "127.0.0.5", "--mac", "00:11:22:33:44:FF",
                                             "--printer", "--status", "silent", "--printers", "3"},
                                            error);
    ASSERT_TRUE(line.has_value()) << error;
    ASSERT_EQ(line->printers.size(), 3u);
    EXPECT_EQ(line->printers[1].ip, "127.0.0.6");
    EXPECT_EQ(line->printers[1].mac, "00 11 22 33 45 00");
    EXPECT_EQ(line->printers[2].ip, "127.0.0.7");
    EXPECT_EQ(line->printers[2].status[0].kind, StatusStep::Kind::Silence);
    EXPECT_EQ(line->printers[0].status[0].kind, StatusStep::Kind::Answer);

    for (const auto& bad : std::vector<std::vector<std::string>>{
             {"--ip"}, {"--status", "loud"}, {"--printers", "0"}, {"--frobnicate", "1"}}) {
        EXPECT_FALSE(sim::parseCommandLine(bad, error).has_value()) << bad[0];
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(sim::parseCommandLine({"--frobnicate"}, error).has_value());
    EXPECT_EQ(error, "unknown option --frobnicate");
}

}  // namespace
