#include "network/protocol/Socket.h"

#include <charconv>
#include <utility>

#include "network/protocol/StopSignal.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace net {
namespace {

#ifdef _WIN32
using Length = int;
constexpr int kNoSignal = 0;
int lastError() {
    return WSAGetLastError();
}
bool wouldBlock(int error) {
    return error == WSAEWOULDBLOCK;
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
bool wouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK;
}
#endif

// Without a wake-up object a wait looks at the stop flag this often.
constexpr std::chrono::milliseconds kFlagLookInterval{100};

IoStatus statusOfError(int error) {
    if (wouldBlock(error)) return IoStatus::WouldBlock;
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

bool setBlocking(NativeSocket handle, bool blocking) {
#ifdef _WIN32
    u_long nonBlocking = blocking ? 0 : 1;
    return ::ioctlsocket(static_cast<SOCKET>(handle), FIONBIO, &nonBlocking) == 0;
#else
    const int flags = ::fcntl(handle, F_GETFL);
    if (flags < 0) return false;
    const int wanted = blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK;
    return ::fcntl(handle, F_SETFL, wanted) == 0;
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

bool isUsableAddressText(std::string_view text) {
    return text.size() <= kMaxAddressTextSize;
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
      stop_(std::exchange(other.stop_, nullptr)),
      deadline_(std::exchange(other.deadline_, std::nullopt)),
      waitable_(std::exchange(other.waitable_, false))
#ifdef _WIN32
      ,
      events_(std::exchange(other.events_, nullptr))
#endif
{
}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, kNoSocket);
        stop_ = std::exchange(other.stop_, nullptr);
        deadline_ = std::exchange(other.deadline_, std::nullopt);
        waitable_ = std::exchange(other.waitable_, false);
#ifdef _WIN32
        events_ = std::exchange(other.events_, nullptr);
#endif
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

bool Socket::makeWaitable() {
    if (waitable_) return true;
    if (handle_ == kNoSocket) return false;
#ifdef _WIN32
    // The event select puts the socket in non-blocking mode itself; a wait then watches this
    // event beside the stop's.
    events_ = ::WSACreateEvent();
    if (events_ == WSA_INVALID_EVENT) {
        events_ = nullptr;
        return false;
    }
    if (::WSAEventSelect(static_cast<SOCKET>(handle_), static_cast<WSAEVENT>(events_),
                         FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE) != 0) {
        ::WSACloseEvent(static_cast<WSAEVENT>(events_));
        events_ = nullptr;
        return false;
    }
#else
    if (!setBlocking(handle_, false)) return false;
#endif
    waitable_ = true;
    return true;
}

bool Socket::stopWith(const StopSignal& stop) {
    if (!makeWaitable()) return false;
    stop_ = &stop;
    return true;
}

bool Socket::setDeadline(Clock::time_point deadline) {
    if (!makeWaitable()) return false;
    deadline_ = deadline;
    return true;
}

bool Socket::stopRequested() const {
    return stop_ && stop_->requested();
}

Socket::Readiness Socket::await(Direction direction, std::optional<int>* connectOutcome) {
    const WakeHandle wake = stop_ ? stop_->wakeHandle() : kNoWake;
    for (;;) {
        if (stopRequested()) return Readiness::Stopped;
        std::optional<std::chrono::milliseconds> limit;
        if (deadline_) {
            const auto left = *deadline_ - Clock::now();
            if (left <= Clock::duration::zero()) return Readiness::TimedOut;
            // Rounded up, so that the wait never ends just short of the deadline and spins.
            limit = std::chrono::ceil<std::chrono::milliseconds>(left);
        }
        if (stop_ && wake == kNoWake && (!limit || *limit > kFlagLookInterval)) {
            limit = kFlagLookInterval;
        }
#ifdef _WIN32
        WSAEVENT events[2] = {static_cast<WSAEVENT>(events_), static_cast<WSAEVENT>(wake)};
        const DWORD count = wake == kNoWake ? 1 : 2;
        const DWORD timeout = limit ? static_cast<DWORD>(limit->count()) : WSA_INFINITE;
        const DWORD result = ::WSAWaitForMultipleEvents(count, events, FALSE, timeout, FALSE);
        if (result == WSA_WAIT_EVENT_0) {
            // Clears the event; the call that follows tells what the socket is ready for.
            WSANETWORKEVENTS happened{};
            ::WSAEnumNetworkEvents(static_cast<SOCKET>(handle_), events[0], &happened);
            if (connectOutcome && (happened.lNetworkEvents & FD_CONNECT)) {
                *connectOutcome = happened.iErrorCode[FD_CONNECT_BIT];
            }
            return Readiness::Ready;
        }
        if (result == WSA_WAIT_EVENT_0 + 1) return Readiness::Stopped;
        if (result != WSA_WAIT_TIMEOUT) return Readiness::Failed;
        (void)direction;
#else
        (void)connectOutcome;
        pollfd watched[2] = {
            {handle_, static_cast<short>(direction == Direction::Read ? POLLIN : POLLOUT), 0},
            {wake, POLLIN, 0}};
        const nfds_t count = wake == kNoWake ? 1 : 2;
        const int result = ::poll(watched, count, limit ? static_cast<int>(limit->count()) : -1);
        if (result < 0) {
            if (interrupted(lastError())) continue;
            return Readiness::Failed;
        }
        if (count == 2 && watched[1].revents != 0) return Readiness::Stopped;
        // An error or hang-up counts as ready too: the call that follows reports it.
        if (watched[0].revents != 0) return Readiness::Ready;
#endif
    }
}

template <typename Call>
IoResult Socket::whenReady(Direction direction, Call call) {
    for (;;) {
        if (stopRequested()) return {IoStatus::Stopped, 0};
        IoResult result = call();
        if (result.status != IoStatus::WouldBlock || !waitable_) return result;
        switch (await(direction)) {
            case Readiness::Ready:
                break;
            case Readiness::Stopped:
                return {IoStatus::Stopped, 0};
            case Readiness::TimedOut:
                return {IoStatus::TimedOut, 0};
            case Readiness::Failed:
                return {IoStatus::Failed, 0};
        }
    }
}

bool Socket::connect(const Ipv4Endpoint& remote) {
    if (stopRequested()) return false;
    const auto address = toSockaddr(remote);
    if (::connect(handle_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        return true;
    }
    if (!waitable_) return false;
#ifdef _WIN32
    if (lastError() != WSAEWOULDBLOCK) return false;
    // The outcome arrives as the connect event; other events cannot come before it.
    std::optional<int> outcome;
    while (!outcome) {
        if (await(Direction::Write, &outcome) != Readiness::Ready) return false;
    }
    return *outcome == 0;
#else
    if (lastError() != EINPROGRESS && !interrupted(lastError())) return false;
    if (await(Direction::Write) != Readiness::Ready) return false;
    int error = 0;
    socklen_t length = sizeof error;
    return ::getsockopt(handle_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
#endif
}

IoResult Socket::sendTo(std::span<const std::uint8_t> data, const Ipv4Endpoint& to) {
    const auto address = toSockaddr(to);
    return whenReady(Direction::Write, [&]() -> IoResult {
        const auto sent = retrying([&] {
            return ::sendto(handle_, reinterpret_cast<const char*>(data.data()),
                            static_cast<int>(data.size()), kNoSignal,
                            reinterpret_cast<const sockaddr*>(&address), sizeof address);
        });
        if (sent < 0) return {statusOfError(lastError()), 0};
        return {IoStatus::Ok, static_cast<std::size_t>(sent)};
    });
}

IoResult Socket::send(std::span<const std::uint8_t> data) {
    return whenReady(Direction::Write, [&]() -> IoResult {
        const auto sent = retrying([&] {
            return ::send(handle_, reinterpret_cast<const char*>(data.data()),
                          static_cast<int>(data.size()), kNoSignal);
        });
        if (sent < 0) return {statusOfError(lastError()), 0};
        return {IoStatus::Ok, static_cast<std::size_t>(sent)};
    });
}

IoResult Socket::receiveFrom(std::span<std::uint8_t> buffer, Ipv4Endpoint& from) {
#ifdef _WIN32
    constexpr int kFlags = 0;
#else
    // With MSG_TRUNC Linux reports a datagram's full length, which tells a cut one apart.
    constexpr int kFlags = MSG_TRUNC;
#endif
    return whenReady(Direction::Read, [&]() -> IoResult {
        sockaddr_in address{};
        Length length = sizeof address;
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
    });
}

IoResult Socket::receive(std::span<std::uint8_t> buffer) {
    return whenReady(Direction::Read, [&]() -> IoResult {
        const auto received = retrying([&] {
            return ::recv(handle_, reinterpret_cast<char*>(buffer.data()),
                          static_cast<int>(buffer.size()), 0);
        });
        if (received < 0) return {statusOfError(lastError()), 0};
        if (received == 0 && !buffer.empty()) return {IoStatus::Closed, 0};
        return {IoStatus::Ok, static_cast<std::size_t>(received)};
    });
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

void Socket::close() {
    if (handle_ == kNoSocket) return;
    if (waitable_) {
        if (stopRequested() || (deadline_ && Clock::now() >= *deadline_)) {
            // Stopped or out of time: the close must not linger on what the peer has not
            // taken. With linger off the system still delivers it in the background.
            linger off{};
            ::setsockopt(handle_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&off),
                         sizeof off);
        }
#ifdef _WIN32
        ::WSAEventSelect(static_cast<SOCKET>(handle_), static_cast<WSAEVENT>(events_), 0);
#endif
        // A lingering close of a non-blocking socket fails on Winsock, leaving the handle open;
        // back in blocking mode it lingers as any other.
        setBlocking(handle_, true);
    }
    closeNative(handle_);
    handle_ = kNoSocket;
#ifdef _WIN32
    if (events_) ::WSACloseEvent(static_cast<WSAEVENT>(events_));
    events_ = nullptr;
#endif
    waitable_ = false;
    stop_ = nullptr;
    deadline_.reset();
}

}  // namespace net
