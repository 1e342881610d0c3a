#pragma once

#include <string>

#include "network/protocol/SendResult.h"
#include "network/protocol/Worker.h"

namespace net {

// Broadcasts new fixed IP settings to the printer with the given hardware address (its text
// without blanks). The result arrives in `result`, which the caller sets pending beforehand.
class SettingsExchange {
public:
    bool start(std::string hardwareAddressText, std::string ipAddress, std::string subnetMask,
               std::string gateway, SendResult& result);
    void stop() { worker_.stop(); }
    bool running() const { return worker_.running(); }

private:
    Worker worker_;
};

}  // namespace net
