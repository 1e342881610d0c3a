#pragma once

#include <string>

#include "network/protocol/LampState.h"
#include "network/protocol/Worker.h"

namespace net {

// Connects to the printer's status port and asks for its status bytes over and over, as fast as
// the printer answers, setting the lamps from each answer until stopped. When stop() returns,
// no further lamp change comes from this poller.
class StatusPoller {
public:
    bool start(std::string ipAddress, LampPanel& lamps);
    void stop() { worker_.stop(); }
    bool running() const { return worker_.running(); }

private:
    Worker worker_;
};

}  // namespace net
