#include "ServerSocket.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#endif

namespace sim {
namespace {

sockaddr_in toSockaddr(const net::Ipv4Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    address.sin_addr.s_addr = htonl(endpoint.address);
    return address;
}

}  // namespace

bool setNonBlocking(const net::Socket& socket) {
#ifdef _WIN32
    u_long enable = 1;
    return ::ioctlsocket(static_cast<SOCKET>(socket.native()), FIONBIO, &enable) == 0;
#else
    const int flags = ::fcntl(socket.native(), F_GETFL);
    return flags >= 0 && ::fcntl(socket.native(), F_SETFL, flags | O_NONBLOCK) == 0;
#endif
}

bool bindTo(const net::Socket& socket, const net::Ipv4Endpoint& local) {
    const auto address = toSockaddr(local);
    return ::bind(socket.native(), reinterpret_cast<const sockaddr*>(&address), sizeof address) ==
           0;
}

net::Socket listenOn(std::uint32_t address, std::uint16_t port, int backlog) {
    net::Socket socket = net::Socket::tcp();
    if (!socket) return {};
#ifndef _WIN32
    // On Winsock this option lets a second socket steal a port in use, which nobody wants; on
    // Linux it only lets a restarted simulator take its ports back at once.
    const int enable = 1;
    ::setsockopt(socket.native(), SOL_SOCKET, SO_REUSEADDR, &enable, sizeof enable);
#endif
    if (!bindTo(socket, {address, port}) || ::listen(socket.native(), backlog) != 0 ||
        !setNonBlocking(socket)) {
        return {};
    }
    return socket;
}

net::Socket acceptFrom(const net::Socket& listener, net::Ipv4Endpoint* peer) {
    sockaddr_in address{};
#ifdef _WIN32
    int length = sizeof address;
#else
    socklen_t length = sizeof address;
#endif
    for (;;) {
        const auto accepted =
            ::accept(listener.native(), reinterpret_cast<sockaddr*>(&address), &length);
#ifndef _WIN32
        if (accepted < 0 && errno == EINTR) continue;
#endif
        net::Socket socket(static_cast<net::NativeSocket>(accepted));
        if (!socket || !setNonBlocking(socket)) return {};
        if (peer) *peer = {ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
        return socket;
    }
}

}  // namespace sim
