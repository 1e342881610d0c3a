// A server with a few hundred simulated printers watches more sockets than Winsock's default
// select set holds; the size must be fixed before the header is read.
#ifdef _WIN32
#define FD_SETSIZE 1024
#include <winsock2.h>
#else
#include <cerrno>
#include <sys/select.h>
#endif

#include "network/protocol/SocketSet.h"

namespace net {

struct SocketSet::Sets {
    fd_set watched;
    fd_set ready;
    std::size_t count = 0;
    NativeSocket highest = 0;
};

SocketSet::SocketSet() : sets_(std::make_unique<Sets>()) {
    clear();
}

SocketSet::~SocketSet() = default;

bool SocketSet::add(const Socket& socket) {
    if (!socket) return false;
#ifdef _WIN32
    if (sets_->count >= FD_SETSIZE) return false;
#else
    if (socket.native() >= FD_SETSIZE) return false;
#endif
    FD_SET(socket.native(), &sets_->watched);
    ++sets_->count;
    if (socket.native() > sets_->highest) sets_->highest = socket.native();
    return true;
}

void SocketSet::clear() {
    FD_ZERO(&sets_->watched);
    FD_ZERO(&sets_->ready);
    sets_->count = 0;
    sets_->highest = 0;
}

int SocketSet::wait(std::optional<std::chrono::milliseconds> timeout) {
    for (;;) {
        sets_->ready = sets_->watched;
        timeval limit{};
        if (timeout) {
            limit.tv_sec = static_cast<long>(timeout->count() / 1000);
            limit.tv_usec = static_cast<long>((timeout->count() % 1000) * 1000);
        }
        const int result = ::select(static_cast<int>(sets_->highest + 1), &sets_->ready, nullptr,
                                    nullptr, timeout ? &limit : nullptr);
#ifndef _WIN32
        if (result < 0 && errno == EINTR) continue;
#endif
        return result < 0 ? -1 : result;
    }
}

bool SocketSet::readable(const Socket& socket) const {
    return socket && FD_ISSET(socket.native(), &sets_->ready);
}

}  // namespace net
