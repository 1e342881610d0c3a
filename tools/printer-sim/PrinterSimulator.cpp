#include "PrinterSimulator.h"

#include <algorithm>
#include <array>
#include <map>
#include <variant>

#include "DatagramDecoder.h"
#include "PollSet.h"
#include "ServerSocket.h"
#include "network/protocol/Socket.h"
#include "network/protocol/StopSignal.h"

namespace sim {
namespace {

constexpr std::uint16_t kDatagramPort = 3000;
constexpr std::uint16_t kSelfTestPort = 9100;
constexpr std::uint16_t kStatusPort = 4000;
constexpr int kBacklog = 16;
constexpr std::size_t kLoggedBytes = 32;

// Larger than any datagram the printers' peers send, so that a long one is seen whole.
constexpr std::size_t kDatagramBuffer = 2048;

// Answers kept for a client that does not read them. Beyond this the simulator reads no more of
// its requests until it has taken the answers, so that such a client is held back by its own
// connection and nobody else waits.
constexpr std::size_t kMaxUnsentAnswers = 4096;

// Datagrams or connections taken on one wake-up, so that a flood on one socket leaves the
// others their turn.
constexpr int kTakenAtOnce = 64;

std::string shortHex(std::span<const std::uint8_t> bytes) {
    const auto shown = std::min(bytes.size(), kLoggedBytes);
    std::string text = hexBytes(bytes.data(), shown);
    if (shown < bytes.size()) text += " ...";
    return text;
}

}  // namespace

struct PrinterSimulator::Engine {
    struct Printer {
        PrinterProfile profile;
        MacBytes mac{};
        std::map<char, std::string> pending;
        net::Socket selfTest;
        net::Socket status;
    };

    struct Connection {
        net::Socket socket;
        std::size_t printer = 0;
        bool isStatus = false;
        net::Ipv4Endpoint peer;
        std::string where;
        std::size_t step = 0;
        bool afterEscape = false;
        std::vector<std::uint8_t> received;
        std::vector<std::uint8_t> unsent;
        // A self-test the printer keeps open after the command: nothing more to read.
        bool holding = false;
        bool done = false;
    };

    PrinterSimulator& owner;
    Options options;
    net::SocketLibrary library;
    net::Socket datagrams;
    std::vector<Printer> printers;
    std::vector<Connection> connections;

    Engine(PrinterSimulator& simulator, Options simulatorOptions)
        : owner(simulator), options(std::move(simulatorOptions)) {}

    void log(const std::string& line) const {
        if (options.log) options.log(line);
    }

    template <typename Change>
    void update(Change change) {
        {
            std::lock_guard lock(owner.mutex_);
            change(owner.record_);
        }
        owner.changed_.notify_all();
    }

    bool open(std::string& error) {
        if (!library) {
            error = "the socket library could not be started";
            return false;
        }
        datagrams = net::Socket::udp();
        const std::uint32_t datagramAddress =
            options.datagramsOnAnyAddress ? 0 : net::kLoopbackAddress;
        if (!datagrams || !bindTo(datagrams, {datagramAddress, kDatagramPort}) ||
            !setNonBlocking(datagrams)) {
            error = "cannot bind UDP " + net::formatEndpoint({datagramAddress, kDatagramPort});
            return false;
        }
        for (const auto& profile : options.printers) {
            Printer printer;
            printer.profile = profile;
            const auto mac = parseMac(profile.mac);
            if (!mac) {
                error = "\"" + profile.mac + "\" is no hardware address of twelve hex digits";
                return false;
            }
            printer.mac = *mac;
            // The script's last step repeats; with no step there is nothing to answer with.
            if (profile.status.empty()) {
                error = "the printer at " + profile.ip + " has no status script";
                return false;
            }
            const auto address = net::parseIpv4(profile.ip);
            if (!address || !net::isLoopback(*address)) {
                error = "\"" + profile.ip + "\" is no loopback address";
                return false;
            }
            if (!openServices(printer, *address)) {
                error = "cannot listen on " + profile.ip + " TCP " + std::to_string(kSelfTestPort) +
                        " and " + std::to_string(kStatusPort);
                return false;
            }
            printers.push_back(std::move(printer));
        }
        return true;
    }

    static bool openServices(Printer& printer, std::uint32_t address) {
        printer.selfTest = listenOn(address, kSelfTestPort, kBacklog);
        printer.status = listenOn(address, kStatusPort, kBacklog);
        return printer.selfTest && printer.status;
    }

    void run(net::StopSignal& stop) {
        PollSet ready;
        std::vector<std::size_t> at;
        while (!stop.requested()) {
            ready.clear();
            const auto datagramsAt = ready.add(datagrams, true, false);
            at.clear();
            for (const auto& printer : printers) {
                at.push_back(ready.add(printer.selfTest, true, false));
                at.push_back(ready.add(printer.status, true, false));
            }
            for (const auto& connection : connections) {
                const bool reading =
                    !connection.holding && connection.unsent.size() < kMaxUnsentAnswers;
                at.push_back(ready.add(connection.socket, reading, !connection.unsent.empty()));
            }
            if (!ready.wait(stop)) return;

            if (ready.readable(datagramsAt)) serveDatagrams();
            for (std::size_t i = 0; i < printers.size(); ++i) {
                if (ready.readable(at[2 * i])) accept(i, false);
                if (ready.readable(at[2 * i + 1])) accept(i, true);
            }
            // Connections accepted just now come after the ones polled.
            for (std::size_t i = 0; i < at.size() - 2 * printers.size(); ++i) {
                auto& connection = connections[i];
                const auto index = at[2 * printers.size() + i];
                if (!connection.done && ready.writable(index)) sendUnsent(connection);
                if (!connection.done && ready.readable(index)) serve(connection);
            }
            std::erase_if(connections, [](const Connection& c) { return c.done; });
        }
    }

    void serveDatagrams() {
        for (int i = 0; i < kTakenAtOnce; ++i) {
            if (!serveDatagram()) return;
        }
    }

    // False when no datagram was waiting.
    bool serveDatagram() {
        std::array<std::uint8_t, kDatagramBuffer> buffer;
        net::Ipv4Endpoint from;
        const auto received = datagrams.receiveFrom(buffer, from);
        if (received.status == net::IoStatus::WouldBlock) return false;
        // An error that an earlier answer caused (an ICMP report) concerns this socket no longer.
        if (!received.ok() && received.status != net::IoStatus::Truncated) return true;
        const std::span<const std::uint8_t> bytes(buffer.data(), received.bytes);
        const std::string source = "udp " + net::formatEndpoint(from) + ": ";
        if (!net::isLoopback(from.address)) {
            log(source + "ignored, the sender is not on loopback");
            update([](SimulatorRecord& r) { ++r.datagramsIgnored; });
            return true;
        }
        std::visit([&](const auto& datagram) { handle(datagram, source, from, bytes); },
                   decodeDatagram(bytes));
        return true;
    }

    void handle(const DiscoveryRequest&, const std::string& source, const net::Ipv4Endpoint& from,
                std::span<const std::uint8_t>) {
        update([](SimulatorRecord& r) { ++r.discoveryRequests; });
        for (const auto& printer : printers) {
            const auto reply = discoveryReply(printer.profile);
            datagrams.sendTo(
                std::span(reinterpret_cast<const std::uint8_t*>(reply.data()), reply.size()), from);
        }
        log(source + "discovery request, answered for " + std::to_string(printers.size()) +
            " printer(s)");
    }

    void handle(const SettingsCommand& command, const std::string& source, const net::Ipv4Endpoint&,
                std::span<const std::uint8_t>) {
        const auto mac = hexBytes(command.mac.data(), command.mac.size());
        std::size_t taken = 0;
        for (std::size_t i = 0; i < printers.size(); ++i) {
            if (printers[i].mac != command.mac) continue;
            printers[i].pending[command.letter] = command.value;
            update([&](SimulatorRecord& r) {
                r.printers[i].settingsReceived.emplace_back(command.letter, command.value);
            });
            ++taken;
        }
        log(source + "settings for " + mac + ": " + command.letter + " \"" + command.value + "\"" +
            (taken ? "" : ", no printer has this address"));
    }

    void handle(const RebootCommand& command, const std::string& source, const net::Ipv4Endpoint&,
                std::span<const std::uint8_t>) {
        const auto mac = hexBytes(command.mac.data(), command.mac.size());
        bool found = false;
        for (std::size_t i = 0; i < printers.size(); ++i) {
            if (printers[i].mac != command.mac) continue;
            found = true;
            log(source + "reboot for " + mac + reboot(printers[i]));
            update([&](SimulatorRecord& r) {
                r.printers[i].profile = printers[i].profile;
                ++r.printers[i].reboots;
            });
        }
        if (!found) log(source + "reboot for " + mac + ", no printer has this address");
    }

    void handle(const UnknownDatagram&, const std::string& source, const net::Ipv4Endpoint&,
                std::span<const std::uint8_t> bytes) {
        log(source + "unknown datagram of " + std::to_string(bytes.size()) +
            " bytes: " + shortHex(bytes));
    }

    // Applies the settings received since the last reboot; returns what became of them.
    std::string reboot(Printer& printer) {
        auto pending = std::exchange(printer.pending, {});
        auto& profile = printer.profile;
        if (auto dhcp = pending.find('D'); dhcp != pending.end()) profile.dhcp = dhcp->second;
        if (auto subnet = pending.find('S'); subnet != pending.end()) {
            profile.subnet = subnet->second;
        }
        if (auto gateway = pending.find('W'); gateway != pending.end()) {
            profile.gateway = gateway->second;
        }
        const auto ip = pending.find('I');
        if (ip == pending.end() || ip->second == profile.ip) return ", address " + profile.ip;
        // Whoever finds the printer talks to it at its new address next; that must stay here.
        const auto address = net::parseIpv4(ip->second);
        if (!address || !net::isLoopback(*address)) {
            return ", keeps " + profile.ip + ": \"" + ip->second + "\" is no loopback address";
        }
        printer.selfTest.close();
        printer.status.close();
        profile.ip = ip->second;
        if (!openServices(printer, *address)) {
            return ", now " + profile.ip + ", but its TCP ports could not be opened there";
        }
        return ", now " + profile.ip;
    }

    void accept(std::size_t printer, bool isStatus) {
        for (int i = 0; i < kTakenAtOnce; ++i) {
            if (!acceptOne(printer, isStatus)) return;
        }
    }

    // False when no connection was waiting.
    bool acceptOne(std::size_t printer, bool isStatus) {
        auto& listener = isStatus ? printers[printer].status : printers[printer].selfTest;
        net::Ipv4Endpoint peer;
        net::Socket socket = acceptFrom(listener, &peer);
        if (!socket) return false;
        Connection connection;
        connection.socket = std::move(socket);
        connection.printer = printer;
        connection.isStatus = isStatus;
        connection.peer = peer;
        connection.where = "tcp " + printers[printer].profile.ip + ":" +
                           std::to_string(isStatus ? kStatusPort : kSelfTestPort) + " from " +
                           net::formatEndpoint(peer) + ": ";
        log(connection.where + "connected");
        update([&](SimulatorRecord& r) {
            auto& record = r.printers[printer];
            ++(isStatus ? record.statusConnections : record.selfTestConnections);
            if (isStatus) ++record.statusConnectionsOpen;
        });
        connections.push_back(std::move(connection));
        return true;
    }

    void serve(Connection& connection) {
        std::array<std::uint8_t, 256> buffer;
        const auto received = connection.socket.receive(buffer);
        if (received.status == net::IoStatus::WouldBlock) return;
        const std::span<const std::uint8_t> bytes(buffer.data(), received.bytes);
        if (connection.isStatus) {
            if (!received.ok()) return finish(connection, "closed by the client");
            serveStatus(connection, bytes);
            return;
        }
        if (received.ok()) {
            connection.received.insert(connection.received.end(), bytes.begin(), bytes.end());
            update([&](SimulatorRecord& r) {
                auto& recorded = r.printers[connection.printer].selfTestBytes;
                recorded.insert(recorded.end(), bytes.begin(), bytes.end());
            });
            return;
        }
        // The client shuts down its side after the command; the page is "printed" and the
        // printer closes, which is what the client waits for, unless it plays one that never
        // closes.
        log(connection.where + "self-test data, " + std::to_string(connection.received.size()) +
            " bytes: " + shortHex(connection.received));
        if (!printers[connection.printer].profile.selfTestCloses) {
            if (received.status == net::IoStatus::Closed) {
                log(connection.where + "holds the connection open");
                connection.holding = true;
                return;
            }
        }
        connection.socket.shutdownBoth();
        finish(connection, "closed after the self-test");
    }

    void serveStatus(Connection& connection, std::span<const std::uint8_t> bytes) {
        const auto& script = printers[connection.printer].profile.status;
        for (const auto byte : bytes) {
            const bool request = connection.afterEscape && byte == 0x76;
            connection.afterEscape = byte == 0x1B;
            if (!request) continue;
            const auto& step = script[std::min(connection.step, script.size() - 1)];
            ++connection.step;
            update([&](SimulatorRecord& r) { ++r.printers[connection.printer].statusRequests; });
            log(connection.where + "status request, " + describeStatusStep(step));
            if (step.kind == StatusStep::Kind::Close) return finish(connection, "closed");
            if (step.kind == StatusStep::Kind::Answer) {
                connection.unsent.insert(connection.unsent.end(), step.bytes.begin(),
                                         step.bytes.end());
            }
        }
        sendUnsent(connection);
    }

    // As much of the waiting answers as the client's connection takes now; the rest when the
    // poll set finds it writable.
    void sendUnsent(Connection& connection) {
        if (connection.unsent.empty()) return;
        const auto sent = connection.socket.send(connection.unsent);
        if (sent.status == net::IoStatus::WouldBlock) return;
        if (!sent.ok()) return finish(connection, "closed by the client");
        connection.unsent.erase(
            connection.unsent.begin(),
            connection.unsent.begin() + static_cast<std::ptrdiff_t>(sent.bytes));
    }

    void finish(Connection& connection, const std::string& how) {
        log(connection.where + how);
        connection.socket.close();
        connection.done = true;
        if (connection.isStatus) {
            update([&](SimulatorRecord& r) {
                --r.printers[connection.printer].statusConnectionsOpen;
            });
        }
    }
};

PrinterSimulator::PrinterSimulator(Options options) : options_(std::move(options)) {}

PrinterSimulator::~PrinterSimulator() {
    stop();
}

bool PrinterSimulator::start() {
    stop();
    engine_ = std::make_unique<Engine>(*this, options_);
    if (!engine_->open(error_)) {
        engine_.reset();
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        record_ = SimulatorRecord{};
        for (const auto& printer : engine_->printers) {
            PrinterRecord printerRecord;
            printerRecord.profile = printer.profile;
            record_.printers.push_back(std::move(printerRecord));
        }
    }
    return worker_.start([this](net::StopSignal& stop) { engine_->run(stop); });
}

void PrinterSimulator::stop() {
    worker_.stop();
    engine_.reset();
}

SimulatorRecord PrinterSimulator::record() const {
    std::lock_guard lock(mutex_);
    return record_;
}

bool PrinterSimulator::waitUntil(const std::function<bool(const SimulatorRecord&)>& condition,
                                 std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return condition(record_); });
}

}  // namespace sim
