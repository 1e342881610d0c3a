#include "network/protocol/StopSignal.h"

#include "network/protocol/Socket.h"

namespace net {

void StopSignal::reset() {
    std::lock_guard lock(mutex_);
    requested_ = false;
    watched_ = nullptr;
}

void StopSignal::request() {
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
        // Under the lock, so that the worker cannot close the socket meanwhile.
        if (watched_) watched_->unblock();
    }
    stopped_.notify_all();
}

bool StopSignal::requested() const {
    std::lock_guard lock(mutex_);
    return requested_;
}

bool StopSignal::pause(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !stopped_.wait_for(lock, duration, [this] { return requested_; });
}

WatchedSocket::WatchedSocket(StopSignal& signal, Socket& socket) : signal_(signal) {
    std::lock_guard lock(signal_.mutex_);
    if (signal_.requested_) return;
    signal_.watched_ = &socket;
    watching_ = true;
}

WatchedSocket::~WatchedSocket() {
    std::lock_guard lock(signal_.mutex_);
    if (watching_) signal_.watched_ = nullptr;
}

}  // namespace net
