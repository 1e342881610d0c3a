#pragma once

#include <functional>
#include <string>

#include "network/protocol/StopSignal.h"
#include "network/protocol/Worker.h"

namespace net {

// Receives each reply text on the listener's thread, in order of arrival. The listener's stop
// waits for a sink call under way to return, so a sink must never wait for the thread that
// stops the listener (a dialog's thread: no SendMessage to its windows; post owned data
// instead). Nothing of the core is held while the sink runs, so a sink may take as long as it
// likes otherwise; the stop takes effect as soon as it returns.
using ReplySink = std::function<void(const std::string& reply)>;

// Broadcasts the discovery request once and hands every answer to the sink until stopped.
// When stop() returns, the sink is not called any more.
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
