#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace net {

// The one place that knows whether sockets come from Winsock or from the BSD interface.
#ifdef _WIN32
using NativeSocket = std::uintptr_t;
inline constexpr NativeSocket kNoSocket = ~NativeSocket{0};
#else
using NativeSocket = int;
inline constexpr NativeSocket kNoSocket = -1;
#endif

struct Ipv4Endpoint {
    std::uint32_t address = 0;  // host byte order
    std::uint16_t port = 0;

    bool operator==(const Ipv4Endpoint&) const = default;
};

inline constexpr std::uint32_t kLoopbackAddress = 0x7F000001u;

// Strict dotted decimal: four numbers of 0 to 255. Anything else is no address, so that a typing
// error can never turn into 255.255.255.255 the way the classic converter's error value does.
std::optional<std::uint32_t> parseIpv4(std::string_view text);
std::string formatIpv4(std::uint32_t address);
std::string formatEndpoint(const Ipv4Endpoint& endpoint);
bool isLoopback(std::uint32_t address);

// Winsock must be started before its first socket and every start balanced by a cleanup; the
// BSD interface needs neither. Each exchange holds one for as long as it uses sockets.
class SocketLibrary {
public:
    SocketLibrary();
    ~SocketLibrary();
    SocketLibrary(const SocketLibrary&) = delete;
    SocketLibrary& operator=(const SocketLibrary&) = delete;

    explicit operator bool() const { return started_; }

private:
    bool started_ = false;
};

enum class IoStatus {
    Ok,
    Closed,     // the peer ended the stream
    Truncated,  // the datagram did not fit; `bytes` holds what did
    Reset,      // the peer or the path reported an error; a datagram socket can go on
    Failed,
};

struct IoResult {
    IoStatus status = IoStatus::Failed;
    std::size_t bytes = 0;

    bool ok() const { return status == IoStatus::Ok; }
};

class Socket {
public:
    static Socket udp();
    static Socket tcp();

    Socket() = default;
    explicit Socket(NativeSocket handle) : handle_(handle) {}
    ~Socket() { close(); }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;

    explicit operator bool() const { return handle_ != kNoSocket; }
    NativeSocket native() const { return handle_; }

    bool setBroadcast();
    bool setLinger(std::uint16_t seconds);
    bool setReuseAddress();
    bool setReceiveBufferSize(int bytes);

    bool bind(const Ipv4Endpoint& local);
    bool listen(int backlog);
    Socket accept(Ipv4Endpoint* peer = nullptr);
    bool connect(const Ipv4Endpoint& remote);
    std::optional<Ipv4Endpoint> localEndpoint() const;

    IoResult sendTo(std::span<const std::uint8_t> data, const Ipv4Endpoint& to);
    IoResult send(std::span<const std::uint8_t> data);
    IoResult receiveFrom(std::span<std::uint8_t> buffer, Ipv4Endpoint& from);
    IoResult receive(std::span<std::uint8_t> buffer);

    bool shutdownSend();
    bool shutdownBoth();

    // Called from another thread to end a receive, accept or connect that blocks on this socket.
    // The socket stays owned by this object; only the blocked call returns, with an error or
    // no bytes, and so does every later call.
    void unblock();

    void close();

private:
    NativeSocket handle_ = kNoSocket;
    // Winsock wakes a blocked call only by closing the socket; the destructor must not close it
    // a second time.
    std::atomic<bool> closedByUnblock_ = false;
};

}  // namespace net
