#pragma once

#include <atomic>

namespace net {

// The outcome of the settings and reboot exchanges, written by their worker and polled by the
// thread that waits for them.
class SendResult {
public:
    static constexpr int kPending = -1;  // also: the socket could not be opened
    static constexpr int kSent = 0;
    static constexpr int kFailed = 1;

    void reset() { value_.store(kPending); }
    void set(int value) { value_.store(value); }
    int get() const { return value_.load(); }

private:
    std::atomic<int> value_ = kPending;
};

}  // namespace net
