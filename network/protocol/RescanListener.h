#pragma once

#include "network/protocol/RescanStore.h"
#include "network/protocol/Worker.h"

namespace net {

// The discovery listener once more after new settings, collecting into the store.
class RescanListener {
public:
    bool start(RescanStore& store);
    void stop() { worker_.stop(); }
    bool running() const { return worker_.running(); }

private:
    Worker worker_;
};

}  // namespace net
