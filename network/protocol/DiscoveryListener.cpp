#include "network/protocol/DiscoveryListener.h"

#include <array>

#include "network/protocol/DiscoveryReply.h"
#include "network/protocol/Messages.h"
#include "network/protocol/ProtocolConstants.h"
#include "network/protocol/Socket.h"

namespace net {

bool DiscoveryListener::start(ReplySink sink) {
    return worker_.start(
        [sink = std::move(sink)](StopSignal& stop) { listenForReplies(stop, sink); });
}

void listenForReplies(StopSignal& stop, const ReplySink& sink) {
    SocketLibrary library;
    if (!library) return;
    Socket socket = Socket::udp();
    if (!socket) return;
    if (!socket.stopWith(stop)) return;
    socket.setBroadcast();
    // Nothing binds the socket: the request's send gives it the port that the printers answer
    // to. Without that send there is nothing to wait for, and Winsock would fail every receive
    // on the unbound socket at once.
    if (!socket.sendTo(kDiscoveryRequest, {kLimitedBroadcast, kPrinterUdpPort}).ok()) return;

    std::array<std::uint8_t, kDatagramReceiveSize> buffer;
    while (!stop.requested()) {
        Ipv4Endpoint from;
        const auto received = socket.receiveFrom(buffer, from);
        if (stop.requested()) return;
        switch (received.status) {
            case IoStatus::Ok:
                sink(replyText(std::span(buffer).first(received.bytes)));
                break;
            // A datagram longer than the buffer is dropped, not parsed in part: a cut reply could
            // carry a cut address. An error that some earlier datagram caused (an ICMP report)
            // concerns this socket no longer.
            case IoStatus::Truncated:
            case IoStatus::Reset:
                break;
            // Any other failure comes back at once on every further receive; waiting on would
            // only spin.
            case IoStatus::Closed:
            case IoStatus::Failed:
            case IoStatus::WouldBlock:
            case IoStatus::TimedOut:
            case IoStatus::Stopped:
                return;
        }
    }
}

}  // namespace net
