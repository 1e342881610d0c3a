#include "network/protocol/StatusPoller.h"

#include <array>

#include "network/protocol/Messages.h"
#include "network/protocol/ProtocolConstants.h"
#include "network/protocol/Socket.h"
#include "network/protocol/StatusInterpretation.h"

namespace net {
namespace {

void poll(StopSignal& stop, const std::string& ipAddress, LampPanel& lamps) {
    SocketLibrary library;
    Socket socket = Socket::tcp();
    if (!socket || !socket.stopWith(stop)) return;
    // The linger stays on for the close after a broken connection; the close after a stop drops
    // it, so that a printer that has vanished cannot hold the stop for a minute.
    socket.setLinger(kLingerSeconds);
    const auto address = isUsableAddressText(ipAddress) ? parseIpv4(ipAddress) : std::nullopt;
    if (!address || !socket.connect({*address, kStatusPort})) {
        if (!stop.requested()) applyUpdate(lamps, interpretStatus(kNoStatus));
        return;
    }
    lamps.setAllLamps(LampState::Clear);

    std::array<std::uint8_t, kStreamReceiveSize> answer;
    while (!stop.requested()) {
        if (socket.send(kStatusRequest).status == IoStatus::Stopped) return;
        const auto received = socket.receive(answer);
        if (stop.requested()) return;
        if (!received.ok()) {
            // A closed or broken connection answers every later receive at once and the poller
            // never reconnects: going on would only spin. The lamps show the printer off-line
            // once, as for any failed receive, and the poller ends.
            applyUpdate(lamps, interpretStatus(kNoStatus));
            return;
        }
        // Fewer than four bytes carry no status; the lamps stay and the next request goes out.
        if (const auto status = statusFromAnswer(std::span(answer).first(received.bytes))) {
            applyUpdate(lamps, interpretStatus(*status));
        }
    }
}

}  // namespace

bool StatusPoller::start(std::string ipAddress, LampPanel& lamps) {
    return worker_.start([ipAddress = std::move(ipAddress), &lamps](StopSignal& stop) {
        poll(stop, ipAddress, lamps);
    });
}

}  // namespace net
