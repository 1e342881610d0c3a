#include "network/protocol/LampState.h"

namespace net {

std::string_view lampCaption(Lamp lamp) {
    static constexpr std::array<std::string_view, kLampCount> kCaptions{
        "Printer is off-line",
        "Cover is open",
        "Cutter is error",
        "Paper is near end",
        "Autimatically restorable error",
        "Paper is end",
        "CashDrawer is open",
        "Running feed button",
        "Printer is busy",
        "Unstorable error",
    };
    return kCaptions[lampIndex(lamp)];
}

}  // namespace net
