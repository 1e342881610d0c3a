#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "PrinterProfile.h"
#include "network/protocol/Worker.h"

namespace sim {

// What one simulated printer has been through, for whoever watches the simulation.
struct PrinterRecord {
    PrinterProfile profile;  // with the settings of its last reboot applied
    std::vector<std::pair<char, std::string>> settingsReceived;
    int reboots = 0;
    std::vector<std::uint8_t> selfTestBytes;
    int selfTestConnections = 0;
    int statusConnections = 0;
    int statusConnectionsOpen = 0;  // accepted and not yet ended by either side
    long statusRequests = 0;
};

struct SimulatorRecord {
    std::vector<PrinterRecord> printers;
    long discoveryRequests = 0;
    long datagramsIgnored = 0;
};

// Plays printers of the family on this machine: answers discovery, settings and reboot datagrams
// on UDP 3000, takes the self-test on TCP 9100 and answers status requests on TCP 4000 from its
// script, all from one thread that never blocks on a client: a client that sends without
// reading holds back only itself. It answers only senders on loopback and serves TCP only on
// loopback addresses.
class PrinterSimulator {
public:
    using LogSink = std::function<void(const std::string& line)>;

    struct Options {
        std::vector<PrinterProfile> printers;
        // Listen for datagrams on all addresses, which a broadcast needs. Only where every
        // interface is a loopback one, see onlyLoopbackInterfaces().
        bool datagramsOnAnyAddress = false;
        LogSink log;
    };

    explicit PrinterSimulator(Options options);
    ~PrinterSimulator();
    PrinterSimulator(const PrinterSimulator&) = delete;
    PrinterSimulator& operator=(const PrinterSimulator&) = delete;

    // Binds every port and starts serving. False, with the reason in error(), when a port is
    // taken, or a printer's address is unusable or its status script empty.
    bool start();
    // Ends serving and closes every port.
    void stop();
    const std::string& error() const { return error_; }

    SimulatorRecord record() const;

    // Waits until the condition holds on the record, or the time is up; true when it holds.
    bool waitUntil(const std::function<bool(const SimulatorRecord&)>& condition,
                   std::chrono::milliseconds timeout) const;

private:
    struct Engine;

    Options options_;
    std::string error_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    SimulatorRecord record_;
    std::unique_ptr<Engine> engine_;
    net::Worker worker_;
};

}  // namespace sim
