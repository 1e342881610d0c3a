#include "network/protocol/SelfTestExchange.h"

#include <array>

#include "network/protocol/Messages.h"
#include "network/protocol/ProtocolConstants.h"
#include "network/protocol/Socket.h"

namespace net {

int runSelfTest(std::string_view ipAddress, std::chrono::milliseconds patience) {
    SocketLibrary library;
    Socket socket = Socket::tcp();
    if (!socket || !socket.setDeadline(Socket::Clock::now() + patience)) return kSelfTestFailed;
    socket.setLinger(kLingerSeconds);
    const auto address = isUsableAddressText(ipAddress) ? parseIpv4(ipAddress) : std::nullopt;
    if (!address || !socket.connect({*address, kSelfTestPort})) return kSelfTestFailed;
    socket.send(kSelfTestCommand);
    socket.shutdownSend();
    // The printer closes its side when it has taken the command; what it sends meanwhile is of
    // no interest. Running out of time ends the wait as a failed receive does.
    std::array<std::uint8_t, kStreamReceiveSize> discard;
    while (socket.receive(discard).ok()) {
    }
    socket.shutdownBoth();
    return kSelfTestDone;
}

}  // namespace net
