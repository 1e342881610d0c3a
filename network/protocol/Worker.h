#pragma once

#include <functional>

#include "framework/WorkerThread.h"
#include "network/protocol/StopSignal.h"

namespace net {

// One exchange's thread and the signal that ends it. Stopping requests the stop and joins, so
// when stop() returns the worker touches nothing of its owner's any more.
class Worker {
public:
    using Body = std::function<void(StopSignal&)>;

    Worker() = default;
    ~Worker() { stop(); }
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // Stops an earlier run first. False when no thread could be started.
    bool start(Body body) {
        stop();
        signal_.reset();
        return thread_.start([this, body = std::move(body)] { body(signal_); });
    }

    void stop() {
        signal_.request();
        thread_.join();
    }

    bool running() const { return thread_.running(); }

private:
    StopSignal signal_;
    WorkerThread thread_;
};

}  // namespace net
