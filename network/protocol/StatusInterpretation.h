#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "network/protocol/LampState.h"

namespace net {

// The first four bytes of the printer's answer, each read as a signed byte.
using StatusBytes = std::array<std::int8_t, 4>;

// What a failed receive counts as; four FF bytes from the printer read the same.
inline constexpr StatusBytes kNoStatus{-1, -1, -1, -1};

// One step of an update: a single lamp, or all ten when `lamp` is empty.
struct LampChange {
    std::optional<Lamp> lamp;
    LampState state = LampState::Idle;

    bool operator==(const LampChange&) const = default;
};

// The changes of one answer, in the order they are made. Lamps that no change names keep
// their state, so an update never needs to know the lamps' present states.
struct LampUpdate {
    std::array<LampChange, 4> changes{};
    std::size_t count = 0;

    const LampChange* begin() const { return changes.data(); }
    const LampChange* end() const { return changes.data() + count; }
};

LampUpdate interpretStatus(const StatusBytes& status);

// An answer shorter than four bytes carries no status: it gives none rather than reading bytes
// the printer never sent.
std::optional<StatusBytes> statusFromAnswer(std::span<const std::uint8_t> answer);

void applyUpdate(LampStates& lamps, const LampUpdate& update);
void applyUpdate(LampPanel& panel, const LampUpdate& update);

}  // namespace net
