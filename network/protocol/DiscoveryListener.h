#pragma once

#include <functional>
#include <string>

#include "network/protocol/StopSignal.h"
#include "network/protocol/Worker.h"

namespace net {

// Receives each reply text on the listener's thread, in order of arrival.
using ReplySink = std::function<void(const std::string& reply)>;

// Broadcasts the discovery request once and hands every answer to the sink until stopped.
class DiscoveryListener {
public:
    bool start(ReplySink sink);
    void stop() { worker_.stop(); }
    bool running() const { return worker_.running(); }

private:
    Worker worker_;
};

// The listener's run, shared with the rescan.
void listenForReplies(StopSignal& stop, const ReplySink& sink);

}  // namespace net
