#include "network/protocol/RebootExchange.h"

#include "network/protocol/HardwareAddress.h"
#include "network/protocol/Messages.h"
#include "network/protocol/ProtocolConstants.h"
#include "network/protocol/Socket.h"

namespace net {
namespace {

void sendReboot(StopSignal& stop, const std::string& hardwareAddressText, SendResult& result) {
    SocketLibrary library;
    Socket socket = Socket::udp();
    if (!socket) return;
    socket.setBroadcast();
    const auto address = hardwareAddressFromText(hardwareAddressText);
    // Too short to name a printer: rebooting whichever printer the missing digits would name
    // is worse than not rebooting at all.
    if (!address) {
        result.set(SendResult::kFailed);
        return;
    }
    if (!stop.pause(RebootExchange::kPause)) return;
    const auto message = rebootMessage(*address);
    const auto sent = socket.sendTo(message, {kLimitedBroadcast, kPrinterUdpPort});
    result.set(sent.ok() && sent.bytes == message.size() ? SendResult::kSent : SendResult::kFailed);
}

}  // namespace

bool RebootExchange::start(std::string hardwareAddressText, SendResult& result) {
    return worker_.start([hardwareAddressText = std::move(hardwareAddressText), &result](
                             StopSignal& stop) { sendReboot(stop, hardwareAddressText, result); });
}

}  // namespace net
