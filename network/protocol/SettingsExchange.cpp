#include "network/protocol/SettingsExchange.h"

#include "network/protocol/HardwareAddress.h"
#include "network/protocol/Messages.h"
#include "network/protocol/ProtocolConstants.h"
#include "network/protocol/Socket.h"

namespace net {
namespace {

void sendSettings(const std::string& hardwareAddressText, const std::string& ipAddress,
                  const std::string& subnetMask, const std::string& gateway, SendResult& result) {
    SocketLibrary library;
    Socket socket = Socket::udp();
    if (!socket) return;
    socket.setBroadcast();
    const auto address = hardwareAddressFromText(hardwareAddressText);
    const auto messages =
        address ? settingsMessages(*address, ipAddress, subnetMask, gateway) : std::nullopt;
    // An address text too short to name a printer, or a value too long for the printer's
    // buffer: nothing is sent and the waiting side hears of a failed send at once.
    if (!messages) {
        result.set(SendResult::kFailed);
        return;
    }
    const Ipv4Endpoint printers{kLimitedBroadcast, kPrinterUdpPort};
    for (std::size_t i = 0; i + 1 < messages->size(); ++i) socket.sendTo((*messages)[i], printers);
    const auto& last = messages->back();
    const auto sent = socket.sendTo(last, printers);
    result.set(sent.ok() && sent.bytes == last.size() ? SendResult::kSent : SendResult::kFailed);
}

}  // namespace

bool SettingsExchange::start(std::string hardwareAddressText, std::string ipAddress,
                             std::string subnetMask, std::string gateway, SendResult& result) {
    return worker_.start([hardwareAddressText = std::move(hardwareAddressText),
                          ipAddress = std::move(ipAddress), subnetMask = std::move(subnetMask),
                          gateway = std::move(gateway), &result](StopSignal&) {
        sendSettings(hardwareAddressText, ipAddress, subnetMask, gateway, result);
    });
}

}  // namespace net
