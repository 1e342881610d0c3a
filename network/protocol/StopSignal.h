#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace net {

class Socket;

// How an owner ends its worker without killing the thread: a flag the worker checks between
// calls, pauses that the flag cuts short, and a way into the one socket call the worker may be
// blocked in.
class StopSignal {
public:
    // Before each run, while no worker uses the signal.
    void reset();

    // Sets the flag, ends a pause and unblocks the watched socket. Safe from any thread.
    void request();
    bool requested() const;

    // Worker side: pauses up to `duration`; false when a stop came first.
    bool pause(std::chrono::milliseconds duration);

private:
    friend class WatchedSocket;

    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool requested_ = false;
    Socket* watched_ = nullptr;
};

// The worker's socket, reachable by the owner's stop for as long as this lives. Declared after
// the socket, so that the owner can no longer reach it once it closes.
class WatchedSocket {
public:
    WatchedSocket(StopSignal& signal, Socket& socket);
    ~WatchedSocket();
    WatchedSocket(const WatchedSocket&) = delete;
    WatchedSocket& operator=(const WatchedSocket&) = delete;

    // False when the stop came before the socket was watched: the worker should end at once.
    explicit operator bool() const { return watching_; }

private:
    StopSignal& signal_;
    bool watching_ = false;
};

}  // namespace net
