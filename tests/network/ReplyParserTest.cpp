#include "network/protocol/DiscoveryReply.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using net::DiscoveryReply;

struct ReplyCase {
    const char* name;
    std::string reply;
    DiscoveryReply expected;
};

void PrintTo(const ReplyCase& c, std::ostream* out) {
    *out << c.name;
}

class ParseReply : public testing::TestWithParam<ReplyCase> {};

TEST_P(ParseReply, FindsTheFirstValueOfEachKey) {
    const auto parsed = net::parseReply(GetParam().reply);
    const auto& expected = GetParam().expected;
    EXPECT_EQ(parsed.ip, expected.ip);
    EXPECT_EQ(parsed.prnPort, expected.prnPort);
    EXPECT_EQ(parsed.subnetwork, expected.subnetwork);
    EXPECT_EQ(parsed.gateway, expected.gateway);
    EXPECT_EQ(parsed.dhcp, expected.dhcp);
    EXPECT_EQ(parsed.dtimeout, expected.dtimeout);
    EXPECT_EQ(parsed.mac, expected.mac);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseReply,
    testing::Values(
        ReplyCase{
            "AllSevenKeys",
            "IP:127.0.0.1;PRNPORT:9100;SUBNETWORK:255.0.0.0;GATEWAY:127.0.0.254;DHCP:0;"
            "DTIMEOUT:30;MAC:00 11 22 33 44 55;",
            {"127.0.0.1", "9100", "255.0.0.0", "127.0.0.254", "0", "30", "00 11 22 33 44 55"}},
        ReplyCase{"OnlyAddressAndPort",
                  "IP:127.0.0.9;PRNPORT:9100;",
                  {"127.0.0.9", "9100", {}, {}, {}, {}, {}}},
        ReplyCase{"LastValueWithoutSemicolonIsEmpty",
                  "IP:127.0.0.9;MAC:00 11 22",
                  {"127.0.0.9", {}, {}, {}, {}, {}, ""}},
        ReplyCase{"NoAddressTheRestStillParsed",
                  "PRNPORT:9100;MAC:001122334455;DHCP:1;",
                  {{}, "9100", {}, {}, "1", {}, "001122334455"}},
        ReplyCase{"AnyOrderFirstOccurrenceCounts",
                  "MAC:AA;PRNPORT:1;IP:127.0.0.2;IP:127.0.0.3;PRNPORT:2;MAC:BB;",
                  {"127.0.0.2", "1", {}, {}, {}, {}, "AA"}},
        ReplyCase{"ValuesAreNotTrimmed",
                  "IP: 127.0.0.1 ;GATEWAY:;",
                  {" 127.0.0.1 ", {}, {}, "", {}, {}, {}}},
        ReplyCase{"KeysAreCaseSensitive", "ip:127.0.0.1;Mac:00;", {}},
        // A key is found anywhere, inside another pair's value too.
        ReplyCase{"KeyInsideAValue",
                  "DHCP:IP:127.0.0.5;IP:127.0.0.6;",
                  {"127.0.0.5", {}, {}, {}, "IP:127.0.0.5", {}, {}}},
        ReplyCase{"Empty", "", {}}));

TEST(ReplyText, EndsAtTheFirstZeroByte) {
    const std::vector<std::uint8_t> withZero = {'I', 'P', ':', '1', ';', 0, 'M', 'A', 'C', 0};
    EXPECT_EQ(net::replyText(withZero), "IP:1;");
    const std::vector<std::uint8_t> withoutZero = {'I', 'P', ':', '1', ';'};
    EXPECT_EQ(net::replyText(withoutZero), "IP:1;");
    const std::vector<std::uint8_t> leadingZero = {0, 'I', 'P'};
    EXPECT_EQ(net::replyText(leadingZero), "");
    EXPECT_EQ(net::replyText({}), "");
}

}  // namespace
