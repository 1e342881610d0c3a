#include "network/protocol/HardwareAddress.h"

#include <gtest/gtest.h>

namespace {

using net::HardwareAddress;

struct AddressCase {
    const char* text;
    std::optional<HardwareAddress> expected;
};

class HardwareAddressFromText : public testing::TestWithParam<AddressCase> {};

TEST_P(HardwareAddressFromText, GivesTheBytesOfPositionsZeroToEleven) {
    EXPECT_EQ(net::hardwareAddressFromText(GetParam().text), GetParam().expected)
        << "text \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, HardwareAddressFromText,
    testing::Values(
        AddressCase{"00a0B1c2D3e4", HardwareAddress{0x00, 0xA0, 0xB1, 0xC2, 0xD3, 0xE4}},
        AddressCase{"001122334455", HardwareAddress{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}},
        AddressCase{"FFffFFffFFff", HardwareAddress{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        // Beyond the twelfth character nothing counts.
        AddressCase{"00a0B1c2D3e4 and more", HardwareAddress{0x00, 0xA0, 0xB1, 0xC2, 0xD3, 0xE4}},
        // A character that is no digit is worth -1, and each byte is taken modulo 256.
        AddressCase{"G00000000000", HardwareAddress{0xF0, 0, 0, 0, 0, 0}},
        AddressCase{"0G0000000000", HardwareAddress{0xFF, 0, 0, 0, 0, 0}},
        AddressCase{"GG00000000zz", HardwareAddress{0xEF, 0, 0, 0, 0, 0xEF}},
        // Blanks are characters like any other, which is why they are removed first.
        AddressCase{"00 11 22 33 ", HardwareAddress{0x00, 0xF1, 0x0F, 0x22, 0xF3, 0x2F}},
        // Too short to name a printer: no address at all.
        AddressCase{"00112233445", std::nullopt}, AddressCase{"", std::nullopt}));

TEST(HardwareAddressText, BlanksBetweenTheDigitsAreRemoved) {
    EXPECT_EQ(net::withoutBlanks("00 11 22 33 44 55"), "001122334455");
    EXPECT_EQ(net::withoutBlanks(" 0 0a0 B1c2D3e4 "), "00a0B1c2D3e4");
    EXPECT_EQ(net::withoutBlanks("001122334455"), "001122334455");
    // The same printer whichever way its address was written.
    EXPECT_EQ(net::hardwareAddressFromText(net::withoutBlanks("00 A0 B1 C2 D3 E4")),
              net::hardwareAddressFromText("00A0B1C2D3E4"));
}

}  // namespace
