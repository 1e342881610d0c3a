#include "network/protocol/Messages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const net::HardwareAddress kAddress{0x00, 0xA0, 0xB1, 0xC2, 0xD3, 0xE4};

net::Message bytes(const std::string& text) {
    return net::Message(text.begin(), text.end());
}

net::Message settingsBytes(char letter, const std::string& value) {
    net::Message expected = {0x42, 0x5B, 0x00, 0xA0, 0xB1, 0xC2, 0xD3, 0xE4};
    const auto tail = bytes("]YJKE02GPRINTERGP" + std::string(1, letter) + value);
    expected.insert(expected.end(), tail.begin(), tail.end());
    return expected;
}

TEST(FixedMessages, AreTheDocumentedBytes) {
    EXPECT_EQ(net::Message(net::kDiscoveryRequest.begin(), net::kDiscoveryRequest.end()),
              bytes("B[]G"));
    EXPECT_EQ(net::Message(net::kSelfTestCommand.begin(), net::kSelfTestCommand.end()),
              (net::Message{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}));
    EXPECT_EQ(net::Message(net::kStatusRequest.begin(), net::kStatusRequest.end()),
              (net::Message{0x1B, 0x76}));
}

TEST(RebootMessage, IsPrefixAddressAndMarkerInFifteenBytes) {
    const auto message = net::rebootMessage(kAddress);
    net::Message expected = {0x42, 0x5B, 0x00, 0xA0, 0xB1, 0xC2, 0xD3, 0xE4,
                             0x5D, 0x45, 0x4A, 0x4B, 0x45, 0x30, 0x32};
    EXPECT_EQ(net::Message(message.begin(), message.end()), expected);
}

struct SettingsCase {
    char letter;
    std::string value;
    std::size_t size;
};

class SettingsMessageLayout : public testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsMessageLayout, IsHeaderLetterAndValue) {
    const auto& c = GetParam();
    const auto message = net::settingsMessage(kAddress, c.letter, c.value);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->size(), c.size);
    EXPECT_EQ(*message, settingsBytes(c.letter, c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsMessageLayout,
    testing::Values(SettingsCase{'D', "0", 27}, SettingsCase{'I', "127.100.200.250", 41},
                    SettingsCase{'S', "255.255.255.0", 39},
                    // An empty gateway edit still sends the header and its letter.
                    SettingsCase{'W', "", 26},
                    // The longest value the printer's buffer takes.
                    SettingsCase{'I', std::string(73, '7'), 99}));

TEST(SettingsMessage, ValueTooLongForThePrintersBufferGivesNoMessage) {
    EXPECT_FALSE(net::settingsMessage(kAddress, 'I', std::string(74, '7')).has_value());
    EXPECT_FALSE(net::settingsMessage(kAddress, 'W', std::string(500, '7')).has_value());
}

TEST(SettingsMessages, AreDhcpAddressSubnetGatewayInThatOrder) {
    const auto messages =
        net::settingsMessages(kAddress, "127.0.0.7", "255.255.0.0", "127.0.0.254");
    ASSERT_TRUE(messages.has_value());
    EXPECT_EQ((*messages)[0], settingsBytes('D', "0"));
    EXPECT_EQ((*messages)[1], settingsBytes('I', "127.0.0.7"));
    EXPECT_EQ((*messages)[2], settingsBytes('S', "255.255.0.0"));
    EXPECT_EQ((*messages)[3], settingsBytes('W', "127.0.0.254"));
}

TEST(SettingsMessages, OneValueTooLongGivesNoneOfThem) {
    const std::string tooLong(74, '1');
    EXPECT_FALSE(net::settingsMessages(kAddress, tooLong, "255.0.0.0", "").has_value());
    EXPECT_FALSE(net::settingsMessages(kAddress, "127.0.0.7", tooLong, "").has_value());
    EXPECT_FALSE(net::settingsMessages(kAddress, "127.0.0.7", "255.0.0.0", tooLong).has_value());
}

}  // namespace
