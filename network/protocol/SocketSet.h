#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "network/protocol/Socket.h"

namespace net {

// A wait for any of several sockets to become readable, for a program that serves many sockets
// from one thread.
class SocketSet {
public:
    SocketSet();
    ~SocketSet();
    SocketSet(const SocketSet&) = delete;
    SocketSet& operator=(const SocketSet&) = delete;

    // False when the set is full; the socket is then not watched.
    bool add(const Socket& socket);
    void clear();

    // Blocks until a socket is readable or the time is up (no time: no limit). Returns the
    // number of readable sockets, 0 when the time ran out, -1 on failure.
    int wait(std::optional<std::chrono::milliseconds> timeout);
    bool readable(const Socket& socket) const;

private:
    struct Sets;
    std::unique_ptr<Sets> sets_;
};

}  // namespace net
