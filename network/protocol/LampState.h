#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace net {

enum class LampState { Idle, Clear, Alert };

// In the order of the status dialog's lamp controls.
enum class Lamp {
    PrinterOffLine,
    CoverOpen,
    CutterError,
    PaperNearEnd,
    AutoRestorableError,
    PaperEnd,
    CashDrawerOpen,
    RunningFeedButton,
    PrinterBusy,
    UnrestorableError,
};

inline constexpr std::size_t kLampCount = 10;

using LampStates = std::array<LampState, kLampCount>;

constexpr std::size_t lampIndex(Lamp lamp) {
    return static_cast<std::size_t>(lamp);
}

// The caption that the status dialog shows beside each lamp.
std::string_view lampCaption(Lamp lamp);

// Where the poller's lamp changes go. The status dialog turns them into pictures on its own
// thread; whatever implements this is called from the poller's thread. The poller's stop waits
// for a call under way to return, so an implementation must never wait for the thread that
// stops the poller (the dialog's: post the change, do not send it).
class LampPanel {
public:
    virtual ~LampPanel() = default;
    virtual void setLamp(Lamp lamp, LampState state) = 0;
    virtual void setAllLamps(LampState state) = 0;
};

}  // namespace net
