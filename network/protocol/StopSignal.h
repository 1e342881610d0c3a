#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace net {

// The wake-up object of a stop signal: an eventfd on Linux, an event handle on Windows.
#ifdef _WIN32
using WakeHandle = void*;
inline const WakeHandle kNoWake = nullptr;
#else
using WakeHandle = int;
inline constexpr WakeHandle kNoWake = -1;
#endif

// How an owner ends its worker without killing the thread and without touching the worker's
// socket: a flag the worker checks between calls, pauses that the flag cuts short, and a wake-up
// object that every wait of the worker's socket watches beside the socket (Socket::stopWith).
// The worker sees the stop, returns from its wait and closes its own socket; the owner never
// closes it, since a socket handle closed under a worker can be given to another socket before
// the worker's next call on it.
//
// A request never waits for anything: it takes one lock that no worker holds across a call of
// its own, so it cannot be kept waiting by a sink or a lamp panel that is blocked.
class StopSignal {
public:
    StopSignal();
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // Before each run, while no worker uses the signal.
    void reset();

    // Sets the flag, ends a pause and wakes a wait on the worker's socket. Safe from any thread.
    void request();
    bool requested() const { return requested_.load(); }

    // Worker side: pauses up to `duration`; false when a stop came first.
    bool pause(std::chrono::milliseconds duration);

    // Readable (Linux) or signalled (Windows) from a request until the next reset; kNoWake when
    // the system gave no wake-up object, and then waits look at the flag a few times a second.
    WakeHandle wakeHandle() const { return wake_; }

private:
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    std::atomic<bool> requested_ = false;
    WakeHandle wake_ = kNoWake;
};

}  // namespace net
