#pragma once

#include <cstdint>

#include "network/protocol/Socket.h"

namespace sim {

// The server side of sockets, which only the printers' side needs: the setup program binds
// nothing and listens nowhere.

// A socket of the simulator never blocks its one thread: a call that would wait reports
// IoStatus::WouldBlock instead, and the poll set says when to call again.
bool setNonBlocking(const net::Socket& socket);

bool bindTo(const net::Socket& socket, const net::Ipv4Endpoint& local);

// A non-blocking TCP listener; an empty socket when the address or port is not to be had.
net::Socket listenOn(std::uint32_t address, std::uint16_t port, int backlog);

// The next waiting connection, non-blocking too; an empty socket when there is none.
net::Socket acceptFrom(const net::Socket& listener, net::Ipv4Endpoint* peer);

}  // namespace sim
