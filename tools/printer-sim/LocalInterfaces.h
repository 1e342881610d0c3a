#pragma once

namespace sim {

// True when every interface that is up is a loopback one, as inside a network namespace of its
// own. Only then may the simulator listen for broadcasts on all addresses: elsewhere it would
// hear, and answer, the real network.
bool onlyLoopbackInterfaces();

}  // namespace sim
