#pragma once

#include <chrono>
#include <string>

#include "network/protocol/SendResult.h"
#include "network/protocol/Worker.h"

namespace net {

// Gives the printer a moment to take its new settings, then broadcasts the reboot for the
// printer with the given hardware address (its text without blanks).
class RebootExchange {
public:
    static constexpr std::chrono::milliseconds kPause{1000};

    bool start(std::string hardwareAddressText, SendResult& result);
    // A stop during the pause sends nothing and leaves the result pending.
    void stop() { worker_.stop(); }
    bool running() const { return worker_.running(); }

private:
    Worker worker_;
};

}  // namespace net
