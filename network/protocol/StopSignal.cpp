#include "network/protocol/StopSignal.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace net {

StopSignal::StopSignal() {
#ifdef _WIN32
    // Manual reset: the stop stays visible to every later wait until the next run.
    wake_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
#else
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
#endif
}

StopSignal::~StopSignal() {
    if (wake_ == kNoWake) return;
#ifdef _WIN32
    ::CloseHandle(wake_);
#else
    ::close(wake_);
#endif
}

void StopSignal::reset() {
    std::lock_guard lock(mutex_);
    requested_ = false;
    if (wake_ == kNoWake) return;
#ifdef _WIN32
    ::ResetEvent(wake_);
#else
    std::uint64_t count = 0;
    while (::read(wake_, &count, sizeof count) > 0) {
    }
#endif
}

void StopSignal::request() {
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
        if (wake_ != kNoWake) {
#ifdef _WIN32
            ::SetEvent(wake_);
#else
            const std::uint64_t one = 1;
            [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
#endif
        }
    }
    stopped_.notify_all();
}

bool StopSignal::pause(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !stopped_.wait_for(lock, duration, [this] { return requested_.load(); });
}

}  // namespace net
