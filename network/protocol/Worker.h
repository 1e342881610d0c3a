#pragma once

#include <functional>

#include "network/protocol/StopSignal.h"
#include "network/protocol/WorkerThread.h"

namespace net {

// One exchange's thread and the signal that ends it. Stopping requests the stop and joins, so
// when stop() returns the worker touches nothing of its owner's any more.
//
// The contract for whatever the worker calls back (reply sinks, lamp panels): the join waits for
// a call under way to return, and nothing else; the stop holds no lock while it waits. So a
// callback must never wait for the thread that calls stop(): a dialog's callback posts owned
// data to the dialog's thread and returns, it does not send a message and wait for the answer.
// A worker blocked in a socket call returns from it at the request, the socket included in a
// send to a printer that takes no data; the worker closes its socket itself, without linger.
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
