#include "PollSet.h"

#include <cerrno>

namespace sim {
namespace {

// Errors and hang-ups count as ready: the call that follows reports them.
constexpr short kTrouble = POLLERR | POLLHUP;

}  // namespace

std::size_t PollSet::add(const net::Socket& socket, bool read, bool write) {
    const short events = static_cast<short>((read ? POLLIN : 0) | (write ? POLLOUT : 0));
#ifdef _WIN32
    entries_.push_back({static_cast<SOCKET>(socket.native()), events, 0});
#else
    entries_.push_back({socket.native(), events, 0});
#endif
    return entries_.size() - 1;
}

bool PollSet::wait(const net::StopSignal& stop) {
#ifdef _WIN32
    // WSAPoll takes sockets only, not the stop's event, so the stop is looked at between short
    // waits; only the simulator waits so, never the setup program.
    for (;;) {
        if (stop.requested()) return false;
        const int result = ::WSAPoll(entries_.data(), static_cast<ULONG>(entries_.size()), 100);
        if (result < 0) return false;
        if (result > 0) return !stop.requested();
    }
#else
    // Without a wake-up object the stop flag is looked at a few times a second.
    entries_.push_back({stop.wakeHandle(), POLLIN, 0});
    const int limit = stop.wakeHandle() == net::kNoWake ? 100 : -1;
    bool failed = false;
    while (!stop.requested()) {
        const int result = ::poll(entries_.data(), entries_.size(), limit);
        if (result < 0 && errno == EINTR) continue;
        failed = result < 0;
        if (result != 0) break;
    }
    entries_.pop_back();
    return !failed && !stop.requested();
#endif
}

bool PollSet::readable(std::size_t index) const {
    return (entries_[index].revents & (POLLIN | kTrouble)) != 0;
}

bool PollSet::writable(std::size_t index) const {
    return (entries_[index].revents & (POLLOUT | kTrouble)) != 0;
}

}  // namespace sim
