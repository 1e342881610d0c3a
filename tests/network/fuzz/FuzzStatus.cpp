// Arbitrary status answers, as a printer could send them over one connection: each chunk goes
// through the reading of the answer and the lamp interpretation, and the lamps must come out as
// a plain reading of the status table makes them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "network/protocol/StatusInterpretation.h"

namespace {

using net::Lamp;
using net::LampState;

void require(bool condition) {
    if (!condition) std::abort();
}

// The table, row by row, written apart from the program's interpretation.
void referenceApply(net::LampStates& lamps, std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                    std::uint8_t b3) {
    auto set = [&](Lamp lamp, LampState state) { lamps[static_cast<std::size_t>(lamp)] = state; };
    if (b0 == 0xFF && b1 == 0xFF && b2 == 0xFF && b3 == 0xFF) {
        lamps.fill(LampState::Idle);
        set(Lamp::PrinterOffLine, LampState::Alert);
        return;
    }
    if (b0 == 0x14 && b1 == 0x00 && b2 == 0x00 && b3 == 0x0F) {
        lamps.fill(LampState::Clear);
        return;
    }
    set(Lamp::PaperEnd, b2 == 0x0C ? LampState::Alert : LampState::Clear);
    if (b0 == 0x3C) {
        set(Lamp::CoverOpen, LampState::Alert);
    } else if (b0 == 0x10) {
        set(Lamp::CashDrawerOpen, LampState::Alert);
    } else if (b0 == 0x5C) {
        set(Lamp::RunningFeedButton, LampState::Alert);
        set(Lamp::PrinterBusy, LampState::Alert);
    } else {
        set(Lamp::CoverOpen, LampState::Clear);
        set(Lamp::RunningFeedButton, LampState::Clear);
        set(Lamp::PrinterBusy, LampState::Clear);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> input(data, size);
    if (input.empty()) return 0;
    // The first byte picks the lamps before the first answer: the table must hold from any.
    net::LampStates lamps{};
    for (std::size_t i = 0; i < lamps.size(); ++i) {
        lamps[i] = static_cast<LampState>(((input[0] >> (i % 4)) + i) % 3);
    }
    input = input.subspan(1);
    auto expected = lamps;
    // The first byte of each chunk says how long the answer is, as receives split a stream.
    while (!input.empty()) {
        const std::size_t length = std::min<std::size_t>(input[0] % 9, input.size() - 1);
        const auto answer = input.subspan(1, length);
        input = input.subspan(1 + length);

        const auto status = net::statusFromAnswer(answer);
        require(status.has_value() == (answer.size() >= 4));
        if (!status) continue;
        const auto update = net::interpretStatus(*status);
        require(update.count >= 1 && update.count <= update.changes.size());
        net::applyUpdate(lamps, update);
        referenceApply(expected, answer[0], answer[1], answer[2], answer[3]);
        require(lamps == expected);
    }
    return 0;
}
