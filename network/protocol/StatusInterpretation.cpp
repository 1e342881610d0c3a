#include "network/protocol/StatusInterpretation.h"

namespace net {
namespace {

constexpr std::int8_t kAllClearFirst = 0x14;
constexpr std::int8_t kAllClearLast = 0x0F;
constexpr std::int8_t kCoverOpen = 0x3C;
constexpr std::int8_t kCashDrawerOpen = 0x10;
constexpr std::int8_t kFeeding = 0x5C;
constexpr std::int8_t kPaperEnd = 0x0C;

void add(LampUpdate& update, std::optional<Lamp> lamp, LampState state) {
    update.changes[update.count++] = LampChange{lamp, state};
}

}  // namespace

LampUpdate interpretStatus(const StatusBytes& status) {
    const auto [b0, b1, b2, b3] = status;
    LampUpdate update;
    if (status == kNoStatus) {
        add(update, std::nullopt, LampState::Idle);
        add(update, Lamp::PrinterOffLine, LampState::Alert);
        return update;
    }
    if (b0 == kAllClearFirst && b1 == 0 && b2 == 0 && b3 == kAllClearLast) {
        add(update, std::nullopt, LampState::Clear);
        return update;
    }
    add(update, Lamp::PaperEnd, b2 == kPaperEnd ? LampState::Alert : LampState::Clear);
    switch (b0) {
        case kCoverOpen:
            add(update, Lamp::CoverOpen, LampState::Alert);
            break;
        case kCashDrawerOpen:
            add(update, Lamp::CashDrawerOpen, LampState::Alert);
            break;
        case kFeeding:
            add(update, Lamp::RunningFeedButton, LampState::Alert);
            add(update, Lamp::PrinterBusy, LampState::Alert);
            break;
        default:
            add(update, Lamp::CoverOpen, LampState::Clear);
            add(update, Lamp::RunningFeedButton, LampState::Clear);
            add(update, Lamp::PrinterBusy, LampState::Clear);
            break;
    }
    return update;
}

std::optional<StatusBytes> statusFromAnswer(std::span<const std::uint8_t> answer) {
    StatusBytes status{};
    if (answer.size() < status.size()) return std::nullopt;
    for (std::size_t i = 0; i < status.size(); ++i) {
        status[i] = static_cast<std::int8_t>(answer[i]);
    }
    return status;
}

void applyUpdate(LampStates& lamps, const LampUpdate& update) {
    for (const auto& change : update) {
        if (change.lamp) {
            lamps[lampIndex(*change.lamp)] = change.state;
        } else {
            lamps.fill(change.state);
        }
    }
}

void applyUpdate(LampPanel& panel, const LampUpdate& update) {
    for (const auto& change : update) {
        if (change.lamp) {
            panel.setLamp(*change.lamp, change.state);
        } else {
            panel.setAllLamps(change.state);
        }
    }
}

}  // namespace net
