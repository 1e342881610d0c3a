#pragma once

#include <chrono>
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

// The longest dotted IPv4 text, "255.255.255.255".
inline constexpr std::size_t kMaxAddressTextSize = 15;

// Whether a printer's address text can be used as it is: a longer text is no IPv4 address,
// and cutting it to fit would name some other host. Such a text is refused whole; the
// exchanges that connect to an address refuse it too.
bool isUsableAddressText(std::string_view text);

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
    WouldBlock,  // a non-blocking socket that is not ready; nothing was done
    Stopped,     // the stop signal the socket waits with was requested; nothing was done
    TimedOut,    // the socket's deadline passed; nothing was done
};

struct IoResult {
    IoStatus status = IoStatus::Failed;
    std::size_t bytes = 0;

    bool ok() const { return status == IoStatus::Ok; }
};

class StopSignal;

class Socket {
public:
    using Clock = std::chrono::steady_clock;

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

    // From here on every call that would block waits on the socket and on `stop` together, and
    // returns IoStatus::Stopped (connect: false) as soon as the stop is requested, before or
    // during the wait. The worker that owns the socket calls this and later closes the socket
    // itself. A socket closed after its stop was requested is closed without linger: the stop
    // must not wait for the system to deliver what the printer no longer takes, and an owner
    // that has stopped wants nothing more from the connection. False when the socket cannot
    // wait so; it is then left as it was.
    bool stopWith(const StopSignal& stop);

    // From here on every call that would block waits at most until `deadline` and then returns
    // IoStatus::TimedOut (connect: false). May be combined with stopWith.
    bool setDeadline(Clock::time_point deadline);

    bool connect(const Ipv4Endpoint& remote);

    IoResult sendTo(std::span<const std::uint8_t> data, const Ipv4Endpoint& to);
    IoResult send(std::span<const std::uint8_t> data);
    IoResult receiveFrom(std::span<std::uint8_t> buffer, Ipv4Endpoint& from);
    IoResult receive(std::span<std::uint8_t> buffer);

    bool shutdownSend();
    bool shutdownBoth();

    void close();

private:
    enum class Direction { Read, Write };
    enum class Readiness { Ready, Stopped, TimedOut, Failed };

    bool makeWaitable();
    // On Windows `connectOutcome` receives the error code of a connect that has ended.
    Readiness await(Direction direction, std::optional<int>* connectOutcome = nullptr);
    bool stopRequested() const;
    template <typename Call>
    IoResult whenReady(Direction direction, Call call);

    NativeSocket handle_ = kNoSocket;
    const StopSignal* stop_ = nullptr;
    std::optional<Clock::time_point> deadline_;
    // Set while the socket waits instead of blocking: it is then in non-blocking mode, and on
    // Windows this event reports its network events.
    bool waitable_ = false;
#ifdef _WIN32
    void* events_ = nullptr;
#endif
};

}  // namespace net
