#include "network/protocol/Socket.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AddressCase {
    const char* text;
    std::optional<std::uint32_t> address;
};

class ParseIpv4 : public testing::TestWithParam<AddressCase> {};

TEST_P(ParseIpv4, AcceptsOnlyFourDecimalNumbers) {
    EXPECT_EQ(net::parseIpv4(GetParam().text), GetParam().address)
        << "text \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseIpv4,
    testing::Values(
        AddressCase{"127.0.0.1", 0x7F000001u}, AddressCase{"0.0.0.0", 0u},
        AddressCase{"127.100.200.255", 0x7F64C8FFu}, AddressCase{"255.255.255.255", 0xFFFFFFFFu},
        // The classic converter's shorthand forms and its error value are refused:
        // none of them may become the broadcast address by accident.
        AddressCase{"127.1", std::nullopt}, AddressCase{"0x7F.0.0.1", std::nullopt},
        AddressCase{"", std::nullopt}, AddressCase{"printer", std::nullopt},
        AddressCase{"127.0.0.256", std::nullopt}, AddressCase{"127.0.0.1.5", std::nullopt},
        AddressCase{"127..0.1", std::nullopt}, AddressCase{" 127.0.0.1", std::nullopt},
        AddressCase{"127.0.0.1 ", std::nullopt}, AddressCase{"127.0.0.0001", std::nullopt}));

TEST(AddressText, LongerThanTheLongestAddressIsRefusedWhole) {
    EXPECT_TRUE(net::isUsableAddressText("255.255.255.255"));
    EXPECT_TRUE(net::isUsableAddressText("127.0.0.1"));
    // Cut to fifteen characters this would be 192.168.100.123, another host.
    EXPECT_FALSE(net::isUsableAddressText("192.168.100.1234"));
    EXPECT_FALSE(net::isUsableAddressText(std::string(1000, '1')));
}

TEST(FormatIpv4, WritesDottedDecimal) {
    EXPECT_EQ(net::formatIpv4(0x7F000001u), "127.0.0.1");
    EXPECT_EQ(net::formatIpv4(0xFFFFFFFFu), "255.255.255.255");
    EXPECT_EQ(net::formatEndpoint({0x7F000002u, 4000}), "127.0.0.2:4000");
    EXPECT_TRUE(net::isLoopback(0x7F0000FEu));
    EXPECT_FALSE(net::isLoopback(0xFFFFFFFFu));
}

// The options the exchanges set, on the platform's own sockets; nothing is sent.
TEST(SocketOptions, BroadcastAndLingerAreAccepted) {
    net::SocketLibrary library;
    ASSERT_TRUE(library);
    net::Socket udp = net::Socket::udp();
    ASSERT_TRUE(udp);
    EXPECT_TRUE(udp.setBroadcast());
    net::Socket tcp = net::Socket::tcp();
    ASSERT_TRUE(tcp);
    EXPECT_TRUE(tcp.setLinger(60));
}

TEST(Socket, MovingHandsOverTheHandleAndClosingTwiceIsHarmless) {
    net::SocketLibrary library;
    net::Socket first = net::Socket::udp();
    const auto handle = first.native();
    net::Socket second = std::move(first);
    EXPECT_FALSE(first);
    EXPECT_EQ(second.native(), handle);
    second.close();
    second.close();
    EXPECT_FALSE(second);
}

}  // namespace
