// Arbitrary status answers, as a printer could send them over one connection: each chunk goes
// through the reading of the answer and the lamp interpretation.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "network/protocol/StatusInterpretation.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    net::LampStates lamps{};
    lamps.fill(net::LampState::Clear);
    std::span<const std::uint8_t> input(data, size);
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
        const auto before = lamps;
        net::applyUpdate(lamps, update);

        if (*status == net::kNoStatus) {
            require(lamps[0] == net::LampState::Alert);
            for (std::size_t i = 1; i < lamps.size(); ++i)
                require(lamps[i] == net::LampState::Idle);
        } else if (update.count > 1) {
            // No single answer touches these four; only the all-lamps rows do.
            for (auto lamp :
                 {net::Lamp::CutterError, net::Lamp::PaperNearEnd, net::Lamp::AutoRestorableError,
                  net::Lamp::UnrestorableError, net::Lamp::PrinterOffLine}) {
                require(lamps[net::lampIndex(lamp)] == before[net::lampIndex(lamp)]);
            }
        }
    }
    return 0;
}
