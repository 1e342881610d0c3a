#pragma once

#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "ServerSocket.h"
#include "network/protocol/ProtocolConstants.h"
#include "network/protocol/Socket.h"

// A printer that stops taking data, as one that has vanished from the network does for the
// sender: it accepts the status connection, floods the poller with all-clear answers and never
// reads a request. Its receive window closes and the poller's requests pile up unsent; closing
// that socket with the linger on waits the whole linger time. Loopback always acknowledges, so
// a stalled reader is how a test makes the unsent data that a vanished printer leaves.
class StalledPrinter {
public:
    explicit StalledPrinter(std::uint32_t address)
        : address_(address), listener_(sim::listenOn(address, net::kStatusPort, 1)) {
        if (!listener_) return;
        // Small, so that the window closes after few requests; set before the connection, so
        // that the connection takes it.
        const int small = 1;
        ::setsockopt(listener_.native(), SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        thread_ = std::thread([this] { run(); });
    }

    ~StalledPrinter() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }

    explicit operator bool() const { return static_cast<bool>(listener_); }

    // True once the poller's socket has held data that the printer did not acknowledge for a
    // while: the state in which a lingering close waits.
    bool stalled() const { return stalled_.load(); }

private:
    // What the connection's other end has queued towards this printer and not had
    // acknowledged, from the kernel's table of this network namespace's TCP sockets.
    std::size_t queuedTowardsPrinter() const {
        char remote[32];
        std::snprintf(remote, sizeof remote, "%02X%02X%02X%02X:%04X", address_ & 0xFF,
                      (address_ >> 8) & 0xFF, (address_ >> 16) & 0xFF, address_ >> 24,
                      net::kStatusPort);
        std::ifstream table("/proc/net/tcp");
        std::string line;
        std::getline(table, line);
        while (std::getline(table, line)) {
            std::istringstream fields(line);
            std::string slot, local, peer, state, queues;
            fields >> slot >> local >> peer >> state >> queues;
            if (peer != remote) continue;
            return std::stoul(queues.substr(0, queues.find(':')), nullptr, 16);
        }
        return 0;
    }

    void run() {
        using Clock = std::chrono::steady_clock;
        net::Socket connection;
        while (!done_ && !connection) {
            connection = sim::acceptFrom(listener_, nullptr);
            if (!connection) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const std::uint8_t answers[8] = {0x14, 0x00, 0x00, 0x0F, 0x14, 0x00, 0x00, 0x0F};
        auto queuedSince = Clock::now();
        auto lastLook = Clock::now();
        while (!done_) {
            if (connection.send(answers).status == net::IoStatus::WouldBlock) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (Clock::now() - lastLook < std::chrono::milliseconds(5)) continue;
            lastLook = Clock::now();
            if (queuedTowardsPrinter() == 0) queuedSince = lastLook;
            if (lastLook - queuedSince > std::chrono::milliseconds(300)) stalled_ = true;
        }
    }

    std::uint32_t address_;
    net::Socket listener_;
    std::atomic<bool> done_ = false;
    std::atomic<bool> stalled_ = false;
    std::thread thread_;
};
