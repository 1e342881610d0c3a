#include "network/protocol/RescanListener.h"

#include "network/protocol/DiscoveryListener.h"

namespace net {

bool RescanListener::start(RescanStore& store) {
    return worker_.start([&store](StopSignal& stop) {
        listenForReplies(stop, [&store](const std::string& reply) { store.record(reply); });
    });
}

}  // namespace net
