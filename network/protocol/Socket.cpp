#include "network/protocol/Socket.h"

#include <charconv>
#include <utility>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace net {
namespace {

#ifdef _WIN32
using Length = int;
constexpr int kNoSignal = 0;
int lastError() {
    return WSAGetLastError();
}
#else
using Length = socklen_t;
// A printer that has gone away must not end the program with SIGPIPE.
constexpr int kNoSignal = MSG_NOSIGNAL;
int lastError() {
    return errno;
}
bool interrupted(int error) {
    return error == EINTR;
}
#endif

IoStatus statusOfError(int error) {
#ifdef _WIN32
    switch (error) {
        case WSAEMSGSIZE:
            return IoStatus::Truncated;
        case WSAECONNRESET:
        case WSAECONNREFUSED:
        case WSAENETRESET:
        case WSAECONNABORTED:
        case WSAEHOSTUNREACH:
        case WSAENETUNREACH:
            return IoStatus::Reset;
        default:
            return IoStatus::Failed;
    }
#else
    switch (error) {
        case ECONNRESET:
        case ECONNREFUSED:
        case ECONNABORTED:
        case EHOSTUNREACH:
        case ENETUNREACH:
            return IoStatus::Reset;
        default:
            return IoStatus::Failed;
    }
#endif
}

sockaddr_in toSockaddr(const Ipv4Endpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(endpoint.port);
    address.sin_addr.s_addr = htonl(endpoint.address);
    return address;
}

Ipv4Endpoint fromSockaddr(const sockaddr_in& address) {
    return Ipv4Endpoint{ntohl(address.sin_addr.s_addr), ntohs(address.sin_port)};
}

void closeNative(NativeSocket handle) {
#ifdef _WIN32
    ::closesocket(static_cast<SOCKET>(handle));
#else
    ::close(handle);
#endif
}

// Runs one socket call again when a signal cut it short; Winsock calls are not interrupted so.
template <typename Call>
auto retrying(Call call) {
#ifdef _WIN32
    return call();
#else
    for (;;) {
        auto result = call();
        if (result >= 0 || !interrupted(lastError())) return result;
    }
#endif
}

}  // namespace

std::optional<std::uint32_t> parseIpv4(std::string_view text) {
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (text.empty() || text.front() != '.') return std::nullopt;
            text.remove_prefix(1);
        }
        std::size_t digits = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
        if (digits == 0 || digits > 3) return std::nullopt;
        unsigned value = 0;
        std::from_chars(text.data(), text.data() + digits, value);
        if (value > 255) return std::nullopt;
        address = (address << 8) | value;
        text.remove_prefix(digits);
    }
    if (!text.empty()) return std::nullopt;
    return address;
}

std::string formatIpv4(std::uint32_t address) {
    return std::to_string(address >> 24) + '.' + std::to_string((address >> 16) & 0xFF) + '.' +
           std::to_string((address >> 8) & 0xFF) + '.' + std::to_string(address & 0xFF);
}

std::string formatEndpoint(const Ipv4Endpoint& endpoint) {
    return formatIpv4(endpoint.address) + ':' + std::to_string(endpoint.port);
}

bool isLoopback(std::uint32_t address) {
    return (address >> 24) == 127;
}

SocketLibrary::SocketLibrary() {
#ifdef _WIN32
    WSADATA data;
    started_ = ::WSAStartup(MAKEWORD(1, 1), &data) == 0;
#else
    started_ = true;
#endif
}

SocketLibrary::~SocketLibrary() {
#ifdef _WIN32
    if (started_) ::WSACleanup();
#endif
}

Socket Socket::udp() {
    return Socket(static_cast<NativeSocket>(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)));
}

Socket Socket::tcp() {
    return Socket(static_cast<NativeSocket>(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)));
}

Socket::Socket(Socket&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoSocket)),
      closedByUnblock_(other.closedByUnblock_.exchange(false)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kNoSocket);
        closedByUnblock_ = other.closedByUnblock_.exchange(false);
    }
    return *this;
}

bool Socket::setBroadcast() {
#ifdef _WIN32
    // The printers' own tools pass a one-byte value, which Winsock accepts.
    const char enable = 1;
    return ::setsockopt(handle_, SOL_SOCKET, SO_BROADCAST, &enable, sizeof enable) == 0;
#else
    // Linux refuses option values shorter than an int.
    const int enable = 1;
    return ::setsockopt(handle_, SOL_SOCKET, SO_BROADCAST, &enable, sizeof enable) == 0;
#endif
}

bool Socket::setLinger(std::uint16_t seconds) {
    linger value{};
    value.l_onoff = 1;
    value.l_linger = seconds;
    return ::setsockopt(handle_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&value),
                        sizeof value) == 0;
}

bool Socket::setReuseAddress() {
#ifdef _WIN32
    // On Winsock this option lets a second socket steal a port in use, which nobody wants.
    return true;
#else
    const int enable = 1;
    return ::setsockopt(handle_, SOL_SOCKET, SO_REUSEADDR, &enable, sizeof enable) == 0;
#endif
}

bool Socket::setReceiveBufferSize(int bytes) {
    return ::setsockopt(handle_, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                        sizeof bytes) == 0;
}

bool Socket::bind(const Ipv4Endpoint& local) {
    const auto address = toSockaddr(local);
    return ::bind(handle_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

bool Socket::listen(int backlog) {
    return ::listen(handle_, backlog) == 0;
}

Socket Socket::accept(Ipv4Endpoint* peer) {
    sockaddr_in address{};
    Length length = sizeof address;
    const auto accepted =
        retrying([&] { return ::accept(handle_, reinterpret_cast<sockaddr*>(&address), &length); });
    Socket result(static_cast<NativeSocket>(accepted));
    if (result && peer) *peer = fromSockaddr(address);
    return result;
}

bool Socket::connect(const Ipv4Endpoint& remote) {
    const auto address = toSockaddr(remote);
    return ::connect(handle_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

std::optional<Ipv4Endpoint> Socket::localEndpoint() const {
    sockaddr_in address{};
    Length length = sizeof address;
    if (::getsockname(handle_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return std::nullopt;
    }
    return fromSockaddr(address);
}

IoResult Socket::sendTo(std::span<const std::uint8_t> data, const Ipv4Endpoint& to) {
    const auto address = toSockaddr(to);
    const auto sent = retrying([&] {
        return ::sendto(handle_, reinterpret_cast<const char*>(data.data()),
                        static_cast<int>(data.size()), kNoSignal,
                        reinterpret_cast<const sockaddr*>(&address), sizeof address);
    });
    if (sent < 0) return {statusOfError(lastError()), 0};
    return {IoStatus::Ok, static_cast<std::size_t>(sent)};
}

IoResult Socket::send(std::span<const std::uint8_t> data) {
    const auto sent = retrying([&] {
        return ::send(handle_, reinterpret_cast<const char*>(data.data()),
                      static_cast<int>(data.size()), kNoSignal);
    });
    if (sent < 0) return {statusOfError(lastError()), 0};
    return {IoStatus::Ok, static_cast<std::size_t>(sent)};
}

IoResult Socket::receiveFrom(std::span<std::uint8_t> buffer, Ipv4Endpoint& from) {
    sockaddr_in address{};
    Length length = sizeof address;
#ifdef _WIN32
    constexpr int kFlags = 0;
#else
    // With MSG_TRUNC Linux reports a datagram's full length, which tells a cut one apart.
    constexpr int kFlags = MSG_TRUNC;
#endif
    const auto received = retrying([&] {
        return ::recvfrom(handle_, reinterpret_cast<char*>(buffer.data()),
                          static_cast<int>(buffer.size()), kFlags,
                          reinterpret_cast<sockaddr*>(&address), &length);
    });
    if (received < 0) {
        const auto status = statusOfError(lastError());
        if (status == IoStatus::Truncated) from = fromSockaddr(address);
        return {status, status == IoStatus::Truncated ? buffer.size() : 0};
    }
    from = fromSockaddr(address);
    if (static_cast<std::size_t>(received) > buffer.size()) {
        return {IoStatus::Truncated, buffer.size()};
    }
    return {IoStatus::Ok, static_cast<std::size_t>(received)};
}

IoResult Socket::receive(std::span<std::uint8_t> buffer) {
    const auto received = retrying([&] {
        return ::recv(handle_, reinterpret_cast<char*>(buffer.data()),
                      static_cast<int>(buffer.size()), 0);
    });
    if (received < 0) return {statusOfError(lastError()), 0};
    if (received == 0 && !buffer.empty()) return {IoStatus::Closed, 0};
    return {IoStatus::Ok, static_cast<std::size_t>(received)};
}

bool Socket::shutdownSend() {
#ifdef _WIN32
    return ::shutdown(handle_, SD_SEND) == 0;
#else
    return ::shutdown(handle_, SHUT_WR) == 0;
#endif
}

bool Socket::shutdownBoth() {
#ifdef _WIN32
    return ::shutdown(handle_, SD_BOTH) == 0;
#else
    return ::shutdown(handle_, SHUT_RDWR) == 0;
#endif
}

void Socket::unblock() {
    if (handle_ == kNoSocket) return;
#ifdef _WIN32
    // Winsock cancels a blocking call only when its socket is closed; shutting down a datagram
    // socket leaves a receive waiting.
    if (!closedByUnblock_.exchange(true)) closeNative(handle_);
#else
    // Shutting down wakes the call and keeps the descriptor, so that its number cannot be given
    // to another socket while the worker may still use it. Linux wakes unconnected datagram
    // sockets too, although it reports ENOTCONN for them.
    ::shutdown(handle_, SHUT_RDWR);
#endif
}

void Socket::close() {
    if (handle_ == kNoSocket) return;
    if (!closedByUnblock_.exchange(false)) closeNative(handle_);
    handle_ = kNoSocket;
}

}  // namespace net
