#include "network/protocol/StatusInterpretation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LampText.h"

namespace {

using net::Lamp;
using net::LampState;

net::StatusBytes status(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    return {static_cast<std::int8_t>(b0), static_cast<std::int8_t>(b1),
            static_cast<std::int8_t>(b2), static_cast<std::int8_t>(b3)};
}

struct StatusCase {
    std::string before;
    net::StatusBytes answer;
    std::string after;
};

class InterpretStatus : public testing::TestWithParam<StatusCase> {};

// Lamp order: off-line, cover, cutter, near end, auto-restorable, paper end, cash drawer,
// feed button, busy, unrestorable.
TEST_P(InterpretStatus, SetsTheLampsItsRowNamesAndKeepsTheRest) {
    auto lamps = lampsFromText(GetParam().before);
    net::applyUpdate(lamps, net::interpretStatus(GetParam().answer));
    EXPECT_EQ(lampText(lamps), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InterpretStatus,
    testing::Values(
        // All clear, from anything.
        StatusCase{"aaaaaaaaaa", status(0x14, 0x00, 0x00, 0x0F), "cccccccccc"},
        StatusCase{"iiiiiiiiii", status(0x14, 0x00, 0x00, 0x0F), "cccccccccc"},
        // A failed receive, or four FF bytes: all idle, then off-line.
        StatusCase{"cccccccccc", net::kNoStatus, "aiiiiiiiii"},
        StatusCase{"acaaacaaca", status(0xFF, 0xFF, 0xFF, 0xFF), "aiiiiiiiii"},
        // Cover open with paper end; feed button and busy are not named and keep their state.
        StatusCase{"cccccccccc", status(0x3C, 0x00, 0x0C, 0x00), "cacccacccc"},
        StatusCase{"cccccccaac", status(0x3C, 0x00, 0x0C, 0x00), "cacccacaac"},
        StatusCase{"cccccccaac", status(0x3C, 0x00, 0x00, 0x00), "cacccccaac"},
        // Feeding: feed button and busy.
        StatusCase{"cccccccccc", status(0x5C, 0x00, 0x00, 0x0F), "cccccccaac"},
        // Cash drawer: only the all-clear answer turns it off again, and it names no other
        // lamp: an open cover stays open.
        StatusCase{"cccccccccc", status(0x10, 0x00, 0x00, 0x00), "ccccccaccc"},
        StatusCase{"ccccccaccc", status(0x14, 0x00, 0x00, 0x00), "ccccccaccc"},
        StatusCase{"cacccccaac", status(0x10, 0x00, 0x00, 0x00), "caccccaaac"},
        StatusCase{"cacccccccc", status(0x10, 0x00, 0x0C, 0x0F), "cacccaaccc"},
        // The all-clear row needs all four bytes: with b1 or b2 set it is an answer like any
        // other, whose first byte clears cover, feed button and busy.
        StatusCase{"iiiiiiiiii", status(0x14, 0x05, 0x0C, 0x0F), "iciiiaicci"},
        StatusCase{"aaaaaaaaaa", status(0x14, 0x05, 0x00, 0x0F), "acaaacacca"},
        StatusCase{"aaaaaaaaaa", status(0x14, 0x00, 0x0C, 0x0F), "acaaaaacca"},
        StatusCase{"aaaaaaaaaa", status(0x14, 0x80, 0x00, 0x0F), "acaaacacca"},
        // Any other first byte clears cover, feed button and busy, and no single answer
        // touches off-line, cutter, near end, auto-restorable or unrestorable.
        StatusCase{"aaaaaaaaaa", status(0x00, 0x00, 0x00, 0x00), "acaaacacca"},
        StatusCase{"aaaaaaaaaa", status(0x00, 0x00, 0x0C, 0x00), "acaaaaacca"},
        // Three FF bytes are not the failure pattern.
        StatusCase{"aaaaaaaaaa", status(0xFF, 0xFF, 0xFF, 0x00), "acaaacacca"},
        StatusCase{"iiiiiiiiii", status(0x14, 0x00, 0x00, 0x0E), "iciiicicci"}));

TEST(InterpretStatus, CashDrawerStaysOnUntilTheAllClearAnswer) {
    auto lamps = lampsFromText("cccccccccc");
    const std::vector<std::pair<net::StatusBytes, std::string>> answers = {
        {status(0x10, 0x00, 0x00, 0x00), "ccccccaccc"},
        {status(0x14, 0x00, 0x00, 0x00), "ccccccaccc"},
        {status(0x14, 0x00, 0x00, 0x0F), "cccccccccc"},
    };
    for (const auto& [answer, expected] : answers) {
        net::applyUpdate(lamps, net::interpretStatus(answer));
        EXPECT_EQ(lampText(lamps), expected);
    }
}

// The status dialog sets the lamps in the order of the changes; off-line must come after all
// idle, or it would be switched off again at once.
TEST(InterpretStatus, FailureSetsAllIdleBeforeOffLine) {
    const auto update = net::interpretStatus(net::kNoStatus);
    ASSERT_EQ(update.count, 2u);
    EXPECT_EQ(update.changes[0], (net::LampChange{std::nullopt, LampState::Idle}));
    EXPECT_EQ(update.changes[1], (net::LampChange{Lamp::PrinterOffLine, LampState::Alert}));
}

TEST(StatusFromAnswer, TakesTheFirstFourBytesAsSignedValues) {
    const std::vector<std::uint8_t> longer = {0x3C, 0x00, 0x0C, 0xFF, 0x99, 0x98};
    EXPECT_EQ(net::statusFromAnswer(longer), (net::StatusBytes{0x3C, 0x00, 0x0C, -1}));
    const std::vector<std::uint8_t> failure = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(net::statusFromAnswer(failure), net::kNoStatus);
}

TEST(StatusFromAnswer, FewerThanFourBytesCarryNoStatus) {
    for (std::size_t size = 0; size < 4; ++size) {
        const std::vector<std::uint8_t> answer(size, 0x5C);
        EXPECT_FALSE(net::statusFromAnswer(answer).has_value()) << size << " bytes";
    }
}

TEST(LampCaptions, AreTheDialogsTextsInLampOrder) {
    const std::vector<std::string> captions = {"Printer is off-line",
                                               "Cover is open",
                                               "Cutter is error",
                                               "Paper is near end",
                                               "Autimatically restorable error",
                                               "Paper is end",
                                               "CashDrawer is open",
                                               "Running feed button",
                                               "Printer is busy",
                                               "Unstorable error"};
    for (std::size_t i = 0; i < net::kLampCount; ++i) {
        EXPECT_EQ(net::lampCaption(static_cast<Lamp>(i)), captions[i]);
    }
}

}  // namespace
