// The waits of the workers' sockets on the platform's own sockets, unicast on loopback only: a
// stop ends them at once, a deadline ends the self-test. Under Wine these are the Winsock waits
// (an event select beside the stop's event); natively, poll beside an eventfd.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "LampText.h"
#include "RecordingPanel.h"
#include "ServerSocket.h"
#include "Waiting.h"
#include "network/protocol/ProtocolConstants.h"
#include "network/protocol/SelfTestExchange.h"
#include "network/protocol/StatusPoller.h"

namespace {

using Clock = std::chrono::steady_clock;

// An address of loopback that no other test of this machine plays a printer on.
constexpr std::uint32_t kPrinterAddress = 0x7F531301u;
constexpr const char* kPrinterText = "127.83.19.1";
constexpr std::chrono::milliseconds kPrompt{1500};

// One printer connection on a port of kPrinterAddress, served by `behaviour` on a thread of its
// own until the object ends. The socket it gets is non-blocking.
class LoopbackPrinter {
public:
    using Behaviour = std::function<void(net::Socket&, const std::atomic<bool>& done)>;

    LoopbackPrinter(std::uint16_t port, Behaviour behaviour)
        : library_(), listener_(sim::listenOn(kPrinterAddress, port, 4)) {
        if (!listener_) return;
        thread_ = std::thread([this, behaviour = std::move(behaviour)] {
            net::Socket connection;
            while (!done_ && !connection) {
                connection = sim::acceptFrom(listener_, nullptr);
                if (!connection) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (connection) behaviour(connection, done_);
        });
    }
    ~LoopbackPrinter() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }
    explicit operator bool() const { return static_cast<bool>(listener_); }

private:
    net::SocketLibrary library_;
    net::Socket listener_;
    std::atomic<bool> done_ = false;
    std::thread thread_;
};

// Reads what comes until told to end, answering each request as `answer` says.
void serve(net::Socket& connection, const std::atomic<bool>& done, bool answer,
           std::atomic<int>* requests = nullptr) {
    std::array<std::uint8_t, 256> buffer;
    const std::array<std::uint8_t, 4> allClear{0x14, 0x00, 0x00, 0x0F};
    while (!done) {
        const auto received = connection.receive(buffer);
        if (received.status == net::IoStatus::WouldBlock) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        if (!received.ok()) return;
        for (std::size_t i = 0; i + 1 < received.bytes; i += 2) {
            if (requests) ++*requests;
            if (answer) connection.send(allClear);
        }
    }
}

TEST(SocketWait, StoppingAPollerThatWaitsForASilentPrinterReturnsPromptly) {
    std::atomic<int> requests = 0;
    LoopbackPrinter printer(net::kStatusPort, [&](net::Socket& connection, const auto& done) {
        serve(connection, done, false, &requests);
    });
    ASSERT_TRUE(printer);
    RecordingPanel panel;
    net::StatusPoller poller;
    ASSERT_TRUE(poller.start(kPrinterText, panel));
    ASSERT_TRUE(eventually([&] { return requests == 1; }));
    EXPECT_TRUE(poller.running());
    EXPECT_TRUE(returnsWithin([&] { poller.stop(); }, kPrompt));
    EXPECT_FALSE(poller.running());
    EXPECT_EQ(lampText(panel.lamps()), "cccccccccc");
}

TEST(SocketWait, StoppingAPollerDuringAFloodOfAnswersReturnsPromptlyEveryTime) {
    for (int round = 0; round < 20; ++round) {
        LoopbackPrinter printer(net::kStatusPort, [&](net::Socket& connection, const auto& done) {
            serve(connection, done, true);
        });
        ASSERT_TRUE(printer);
        RecordingPanel panel;
        net::StatusPoller poller;
        ASSERT_TRUE(poller.start(kPrinterText, panel));
        ASSERT_TRUE(eventually([&] { return panel.changes() > 50; })) << "round " << round;
        EXPECT_TRUE(returnsWithin([&] { poller.stop(); }, kPrompt)) << "round " << round;
        const int afterStop = panel.changes();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(panel.changes(), afterStop) << "a lamp changed after the stop";
    }
}

TEST(SocketWait, SelfTestGivesUpOnAPrinterThatNeverCloses) {
    std::vector<std::uint8_t> taken;
    std::atomic<bool> complete = false;
    LoopbackPrinter printer(net::kSelfTestPort, [&](net::Socket& connection, const auto& done) {
        std::array<std::uint8_t, 64> buffer;
        while (!done) {
            const auto received = connection.receive(buffer);
            if (received.ok())
                taken.insert(taken.end(), buffer.begin(), buffer.begin() + received.bytes);
            if (received.status == net::IoStatus::Closed) complete = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    ASSERT_TRUE(printer);
    const auto start = Clock::now();
    EXPECT_EQ(net::runSelfTest(kPrinterText, std::chrono::milliseconds(400)), net::kSelfTestDone);
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(400));
    EXPECT_LT(waited, kPrompt + std::chrono::milliseconds(400));
    ASSERT_TRUE(eventually([&] { return complete.load(); }));
    EXPECT_EQ(taken, (std::vector<std::uint8_t>{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}));
}

TEST(SocketWait, SelfTestEndsAsSoonAsThePrinterCloses) {
    LoopbackPrinter printer(net::kSelfTestPort, [&](net::Socket& connection, const auto& done) {
        std::array<std::uint8_t, 64> buffer;
        while (!done && connection.receive(buffer).status != net::IoStatus::Closed) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        connection.close();
    });
    ASSERT_TRUE(printer);
    const auto start = Clock::now();
    EXPECT_EQ(net::runSelfTest(kPrinterText), net::kSelfTestDone);
    EXPECT_LT(Clock::now() - start, kPrompt);
}

}  // namespace
