// Every exchange against the simulated printers, over real sockets. Broadcasts are sent, so the
// program runs only inside the isolated namespace that tools/netns-run makes.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "LampText.h"
#include "LocalInterfaces.h"
#include "PrinterSimulator.h"
#include "RecordingPanel.h"
#include "ServerSocket.h"
#include "StalledPrinter.h"
#include "Waiting.h"
#include "network/protocol/DiscoveryListener.h"
#include "network/protocol/DiscoveryReply.h"
#include "network/protocol/HardwareAddress.h"
#include "network/protocol/RebootExchange.h"
#include "network/protocol/RescanListener.h"
#include "network/protocol/SelfTestExchange.h"
#include "network/protocol/SettingsExchange.h"
#include "network/protocol/StatusPoller.h"

namespace {

using sim::PrinterProfile;
using sim::SimulatorRecord;

// Collects reply texts from the listener's thread.
class ReplyCollector {
public:
    net::ReplySink sink() {
        return [this](const std::string& reply) {
            std::lock_guard lock(mutex_);
            replies_.push_back(reply);
        };
    }
    std::vector<std::string> replies() const {
        std::lock_guard lock(mutex_);
        return replies_;
    }
    std::size_t count() const { return replies().size(); }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> replies_;
};

// A stop must return at once; this only leaves room for a loaded machine and the sanitizers.
constexpr std::chrono::milliseconds kPrompt{1500};

// Plays the printers' UDP port itself and answers one discovery request with datagrams as fast
// as it can send them, until it is ended: a flood no simulator loop would make.
class ReplyFlood {
public:
    ReplyFlood() {
        socket_ = net::Socket::udp();
        bound_ = socket_ && sim::bindTo(socket_, {0, net::kPrinterUdpPort});
        if (bound_) thread_ = std::thread([this] { run(); });
    }
    ~ReplyFlood() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }
    explicit operator bool() const { return bound_; }

private:
    void run() {
        std::array<std::uint8_t, 64> request;
        net::Ipv4Endpoint listener;
        if (!socket_.receiveFrom(request, listener).ok()) return;
        sim::setNonBlocking(socket_);
        const std::string reply = sim::discoveryReply(PrinterProfile{});
        const std::span bytes(reinterpret_cast<const std::uint8_t*>(reply.data()), reply.size());
        while (!done_) {
            if (socket_.sendTo(bytes, listener).status == net::IoStatus::WouldBlock) {
                std::this_thread::yield();
            }
        }
    }

    net::Socket socket_;
    bool bound_ = false;
    std::atomic<bool> done_ = false;
    std::thread thread_;
};

PrinterProfile printerAt(const std::string& ip, const std::string& mac) {
    PrinterProfile profile;
    profile.ip = ip;
    profile.mac = mac;
    return profile;
}

PrinterProfile withStatus(const std::string& script) {
    PrinterProfile profile;
    profile.status = *sim::parseStatusScript(script);
    return profile;
}

class Exchanges : public testing::Test {
protected:
    void SetUp() override {
        // A broadcast outside the isolated namespace would leave the machine.
        ASSERT_TRUE(sim::onlyLoopbackInterfaces()) << "run this program through tools/netns-run";
    }

    void play(std::vector<PrinterProfile> printers) {
        simulator_.reset();
        sim::PrinterSimulator::Options options;
        options.printers = std::move(printers);
        options.datagramsOnAnyAddress = true;
        simulator_ = std::make_unique<sim::PrinterSimulator>(std::move(options));
        ASSERT_TRUE(simulator_->start()) << simulator_->error();
    }

    bool simulatorSees(const std::function<bool(const SimulatorRecord&)>& condition) {
        return simulator_->waitUntil(condition, kPatience);
    }

    SimulatorRecord record() const { return simulator_->record(); }

    std::unique_ptr<sim::PrinterSimulator> simulator_;
};

// ---- discovery listener

TEST_F(Exchanges, DiscoveryListsEveryPrinterInOrderOfArrival) {
    play({printerAt("127.0.0.20", "00 11 22 33 44 20"),
          printerAt("127.0.0.100", "00 11 22 33 44 A0")});
    ReplyCollector collector;
    net::DiscoveryListener listener;
    ASSERT_TRUE(listener.start(collector.sink()));
    ASSERT_TRUE(eventually([&] { return collector.count() == 2; }));
    listener.stop();

    const auto replies = collector.replies();
    const auto first = net::parseReply(replies[0]);
    const auto second = net::parseReply(replies[1]);
    EXPECT_EQ(first.ip, "127.0.0.20");
    EXPECT_EQ(second.ip, "127.0.0.100");
    EXPECT_EQ(second.mac, "00 11 22 33 44 A0");
    EXPECT_EQ(first.prnPort, "9100");
    EXPECT_EQ(first.subnetwork, "255.0.0.0");
    // One request and no second one, however long the listener runs.
    EXPECT_EQ(record().discoveryRequests, 1);
}

struct DeliveryCase {
    const char* name;
    PrinterProfile printer;
    std::vector<std::string> delivered;
};

void PrintTo(const DeliveryCase& c, std::ostream* out) {
    *out << c.name;
}

PrinterProfile replying(std::string text) {
    PrinterProfile profile;
    profile.reply = std::move(text);
    return profile;
}

PrinterProfile paddedTo(std::size_t size) {
    PrinterProfile profile;
    profile.replyPadding = size - sim::discoveryReply(profile).size();
    return profile;
}

class DiscoveryDelivery : public Exchanges, public testing::WithParamInterface<DeliveryCase> {};

// A printer that answers as the case says, then one that answers plainly; the plain reply comes
// last, so by the time it has arrived the first one has been delivered or dropped.
TEST_P(DiscoveryDelivery, HandsOnTheTextUpToItsFirstZeroByteAndDropsOversizedDatagrams) {
    const auto marker = printerAt("127.0.0.50", "00 11 22 33 44 50");
    play({GetParam().printer, marker});
    ReplyCollector collector;
    net::DiscoveryListener listener;
    ASSERT_TRUE(listener.start(collector.sink()));
    const auto markerReply = sim::discoveryReply(marker);
    ASSERT_TRUE(eventually([&] {
        const auto replies = collector.replies();
        return !replies.empty() && replies.back() == markerReply;
    }));
    listener.stop();

    auto expected = GetParam().delivered;
    expected.push_back(markerReply);
    EXPECT_EQ(collector.replies(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DiscoveryDelivery,
    testing::Values(
        DeliveryCase{"PlainReply", PrinterProfile{}, {sim::discoveryReply(PrinterProfile{})}},
        DeliveryCase{"TextEndsAtZeroByte",
                     replying(std::string("IP:127.0.0.1;\0MAC:garbage;", 26)),
                     {"IP:127.0.0.1;"}},
        DeliveryCase{"EmptyDatagram", replying(""), {""}},
        DeliveryCase{
            "ExactlyAReceiveBuffer", paddedTo(1024), {sim::discoveryReply(paddedTo(1024))}},
        DeliveryCase{"OneByteTooLong", paddedTo(1025), {}},
        DeliveryCase{"FarTooLong", paddedTo(4000), {}}));

TEST_F(Exchanges, StoppingTheListenerEndsItsBlockedReceive) {
    play({});
    ReplyCollector collector;
    net::DiscoveryListener listener;
    ASSERT_TRUE(listener.start(collector.sink()));
    // The request has gone out; nobody answers, so the listener waits in its receive.
    ASSERT_TRUE(simulatorSees([](const SimulatorRecord& r) { return r.discoveryRequests == 1; }));
    EXPECT_TRUE(listener.running());
    EXPECT_TRUE(returnsWithin([&] { listener.stop(); }));
    EXPECT_FALSE(listener.running());
    EXPECT_EQ(collector.count(), 0u);
}

// The sink does a little work for each reply, as a dialog's does, so that the stop comes while
// replies are being delivered.
TEST_F(Exchanges, StoppingTheListenerDuringAFloodOfRepliesReturnsPromptlyEveryTime) {
    for (int round = 0; round < 40; ++round) {
        ReplyFlood flood;
        ASSERT_TRUE(flood) << "UDP 3000 is taken";
        std::atomic<int> delivered = 0;
        net::DiscoveryListener listener;
        ASSERT_TRUE(listener.start([&](const std::string& reply) {
            std::this_thread::sleep_for(std::chrono::microseconds(reply.size()));
            ++delivered;
        }));
        ASSERT_TRUE(eventually([&] { return delivered > 200; })) << "round " << round;
        EXPECT_TRUE(returnsWithin([&] { listener.stop(); }, kPrompt)) << "round " << round;
        const int afterStop = delivered;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(delivered, afterStop) << "a reply was delivered after the stop";
    }
}

// ---- rescan listener

TEST_F(Exchanges, RescanStoresTheFirstTenRepliesAndCountsAll) {
    std::vector<PrinterProfile> printers{printerAt("127.0.0.1", "00 11 22 33 44 01")};
    for (int i = 1; i < 12; ++i) printers.push_back(sim::nextPrinter(printers.back()));
    play(printers);

    net::RescanStore store;
    store.record("left over from an earlier rescan");
    store.resetCount();
    net::RescanListener rescan;
    ASSERT_TRUE(rescan.start(store));
    ASSERT_TRUE(eventually([&] { return store.count() == 12; }));
    rescan.stop();

    const auto replies = store.replies();
    ASSERT_EQ(replies.size(), 10u);
    for (std::size_t i = 0; i < replies.size(); ++i) {
        EXPECT_EQ(net::parseReply(replies[i]).ip, printers[i].ip);
    }
}

TEST_F(Exchanges, StoppingTheRescanEndsItsBlockedReceive) {
    play({});
    net::RescanStore store;
    net::RescanListener rescan;
    ASSERT_TRUE(rescan.start(store));
    ASSERT_TRUE(simulatorSees([](const SimulatorRecord& r) { return r.discoveryRequests == 1; }));
    EXPECT_TRUE(returnsWithin([&] { rescan.stop(); }));
    EXPECT_EQ(store.count(), 0u);
}

// ---- settings and reboot exchanges

TEST_F(Exchanges, SettingsThenRebootMoveThePrinterToItsNewAddress) {
    play(
        {printerAt("127.0.0.1", "00 11 22 33 44 55"), printerAt("127.0.0.2", "00 11 22 33 44 66")});
    const auto mac = net::withoutBlanks("00 11 22 33 44 55");

    net::SendResult result;
    net::SettingsExchange settings;
    ASSERT_TRUE(settings.start(mac, "127.0.0.7", "255.255.0.0", "127.0.0.254", result));
    ASSERT_TRUE(eventually([&] { return result.get() != net::SendResult::kPending; }));
    settings.stop();
    EXPECT_EQ(result.get(), net::SendResult::kSent);
    ASSERT_TRUE(simulatorSees(
        [](const SimulatorRecord& r) { return r.printers[0].settingsReceived.size() == 4; }));
    const std::vector<std::pair<char, std::string>> expected = {
        {'D', "0"}, {'I', "127.0.0.7"}, {'S', "255.255.0.0"}, {'W', "127.0.0.254"}};
    EXPECT_EQ(record().printers[0].settingsReceived, expected);

    result.reset();
    net::RebootExchange reboot;
    ASSERT_TRUE(reboot.start(mac, result));
    ASSERT_TRUE(simulatorSees([](const SimulatorRecord& r) { return r.printers[0].reboots == 1; }));
    ASSERT_TRUE(eventually([&] { return !reboot.running(); }));
    reboot.stop();
    EXPECT_EQ(result.get(), net::SendResult::kSent);

    // Only the addressed printer took them.
    EXPECT_TRUE(record().printers[1].settingsReceived.empty());
    EXPECT_EQ(record().printers[1].reboots, 0);

    // Found again at the new address, and reachable there.
    net::RescanStore store;
    net::RescanListener rescan;
    ASSERT_TRUE(rescan.start(store));
    ASSERT_TRUE(eventually([&] { return store.count() == 2; }));
    rescan.stop();
    const auto moved = net::parseReply(store.replies()[0]);
    EXPECT_EQ(moved.ip, "127.0.0.7");
    EXPECT_EQ(moved.subnetwork, "255.255.0.0");
    EXPECT_EQ(moved.gateway, "127.0.0.254");
    EXPECT_EQ(net::runSelfTest("127.0.0.7"), net::kSelfTestDone);
}

struct RefusedSettingsCase {
    const char* name;
    std::string mac;
    std::string ip;
    std::string gateway;
};

void PrintTo(const RefusedSettingsCase& c, std::ostream* out) {
    *out << c.name;
}

class RefusedSettings : public Exchanges,
                        public testing::WithParamInterface<RefusedSettingsCase> {};

// Nothing of a refused configuration may reach the printer. A good exchange after it shows
// what did: datagrams on loopback arrive in order.
TEST_P(RefusedSettings, SendNothingAndReportAFailedSend) {
    play({printerAt("127.0.0.1", "00 11 22 33 44 55")});
    const auto& c = GetParam();
    net::SendResult result;
    net::SettingsExchange settings;
    ASSERT_TRUE(settings.start(c.mac, c.ip, "255.0.0.0", c.gateway, result));
    ASSERT_TRUE(eventually([&] { return result.get() != net::SendResult::kPending; }));
    settings.stop();
    EXPECT_EQ(result.get(), net::SendResult::kFailed);

    result.reset();
    ASSERT_TRUE(settings.start("001122334455", "127.0.0.8", "255.0.0.0", "", result));
    ASSERT_TRUE(simulatorSees(
        [](const SimulatorRecord& r) { return r.printers[0].settingsReceived.size() >= 4; }));
    settings.stop();
    const auto received = record().printers[0].settingsReceived;
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[1], (std::pair<char, std::string>{'I', "127.0.0.8"}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedSettings,
    testing::Values(RefusedSettingsCase{"AddressTextTooShort", "00112233445", "127.0.0.7", ""},
                    RefusedSettingsCase{"AddressTooLong", "001122334455", std::string(74, '7'), ""},
                    RefusedSettingsCase{"GatewayTooLong", "001122334455", "127.0.0.7",
                                        std::string(200, 'g')}));

TEST_F(Exchanges, LongestValueThePrinterTakesIsSentWhole) {
    play({printerAt("127.0.0.1", "00 11 22 33 44 55")});
    const std::string longest(73, '7');
    net::SendResult result;
    net::SettingsExchange settings;
    ASSERT_TRUE(settings.start("001122334455", "127.0.0.9", "255.0.0.0", longest, result));
    ASSERT_TRUE(simulatorSees(
        [](const SimulatorRecord& r) { return r.printers[0].settingsReceived.size() == 4; }));
    settings.stop();
    EXPECT_EQ(result.get(), net::SendResult::kSent);
    EXPECT_EQ(record().printers[0].settingsReceived[3],
              (std::pair<char, std::string>{'W', longest}));
}

TEST_F(Exchanges, RebootWithAShortAddressTextFailsWithoutSending) {
    play({printerAt("127.0.0.1", "00 11 22 33 44 55")});
    net::SendResult result;
    net::RebootExchange reboot;
    ASSERT_TRUE(reboot.start("0011223344", result));
    ASSERT_TRUE(eventually([&] { return result.get() != net::SendResult::kPending; }));
    reboot.stop();
    EXPECT_EQ(result.get(), net::SendResult::kFailed);
    EXPECT_EQ(record().printers[0].reboots, 0);
}

TEST_F(Exchanges, RebootStoppedDuringItsPauseSendsNothing) {
    play({printerAt("127.0.0.1", "00 11 22 33 44 55")});
    net::SendResult result;
    net::RebootExchange reboot;
    ASSERT_TRUE(reboot.start("001122334455", result));
    EXPECT_TRUE(returnsWithin([&] { reboot.stop(); }, std::chrono::milliseconds(900)));
    EXPECT_EQ(result.get(), net::SendResult::kPending);
    // A reboot sent late would arrive before this discovery is answered.
    ReplyCollector collector;
    net::DiscoveryListener listener;
    ASSERT_TRUE(listener.start(collector.sink()));
    ASSERT_TRUE(eventually([&] { return collector.count() == 1; }));
    listener.stop();
    EXPECT_EQ(record().printers[0].reboots, 0);
}

// ---- self-test exchange

TEST_F(Exchanges, SelfTestSendsTheTestPrintCommandAndWaitsForThePrinterToClose) {
    play({PrinterProfile{}});
    EXPECT_EQ(net::runSelfTest("127.0.0.1"), net::kSelfTestDone);
    const auto printer = record().printers[0];
    EXPECT_EQ(printer.selfTestConnections, 1);
    EXPECT_EQ(printer.selfTestBytes,
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}));
}

TEST_F(Exchanges, SelfTestFailsWhenNoPrinterAcceptsOrTheAddressIsNoAddress) {
    play({printerAt("127.0.0.2", "00 11 22 33 44 55")});
    EXPECT_EQ(net::runSelfTest("127.0.0.1"), net::kSelfTestFailed);
    EXPECT_EQ(net::runSelfTest("printer"), net::kSelfTestFailed);
    EXPECT_EQ(net::runSelfTest(""), net::kSelfTestFailed);
    // Sixteen characters are refused whole, never cut to the fifteen of "127.0.0.2" and a digit.
    EXPECT_EQ(net::runSelfTest("127.0.0.2000000"), net::kSelfTestFailed);
    EXPECT_EQ(net::runSelfTest("127.0.0.20000000"), net::kSelfTestFailed);
    EXPECT_EQ(record().printers[0].selfTestConnections, 0);
}

// The patience is shortened here; the program waits kSelfTestPatience (30 s).
TEST_F(Exchanges, SelfTestGivesUpOnAPrinterThatNeverClosesTheConnection) {
    PrinterProfile hanging;
    hanging.selfTestCloses = false;
    play({hanging});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(net::runSelfTest("127.0.0.1", std::chrono::milliseconds(400)), net::kSelfTestDone);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(400));
    EXPECT_LT(waited, kPrompt + std::chrono::milliseconds(400));
    EXPECT_EQ(record().printers[0].selfTestBytes,
              (std::vector<std::uint8_t>{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}));
}

// ---- status poller

struct PollCase {
    const char* name;
    std::string script;  // ends in "silent", where the poller waits
    std::string lamps;   // off-line, cover, cutter, near end, auto, paper end, drawer, feed,
                         // busy, unrestorable
};

void PrintTo(const PollCase& c, std::ostream* out) {
    *out << c.name;
}

class StatusPolling : public Exchanges, public testing::WithParamInterface<PollCase> {};

// When the printer is asked for the silent step, the poller has applied every answer before it.
TEST_P(StatusPolling, LampsFollowThePrintersAnswers) {
    const auto script = *sim::parseStatusScript(GetParam().script);
    play({withStatus(GetParam().script)});
    RecordingPanel panel;
    net::StatusPoller poller;
    ASSERT_TRUE(poller.start("127.0.0.1", panel));
    ASSERT_TRUE(simulatorSees([&](const SimulatorRecord& r) {
        return r.printers[0].statusRequests == static_cast<long>(script.size());
    }));
    EXPECT_TRUE(returnsWithin([&] { poller.stop(); }));
    EXPECT_EQ(lampText(panel.lamps()), GetParam().lamps);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StatusPolling,
    testing::Values(
        PollCase{"ConnectedAllClear", "silent", "cccccccccc"},
        PollCase{"AllClearAnswer", "1400000F,silent", "cccccccccc"},
        PollCase{"CoverOpenPaperEnd", "1400000F,3C000C00,silent", "cacccacccc"},
        PollCase{"CoverOpenWhileFeeding", "1400000F,5C00000F,3C000000,silent", "cacccccaac"},
        PollCase{"DrawerStaysOpen", "10000000,14000000,silent", "ccccccaccc"},
        PollCase{"DrawerClosedByAllClear", "10000000,14000000,1400000F,silent", "cccccccccc"},
        PollCase{"FourFFBytesAreOffLine", "1400000F,FFFFFFFF,silent", "aiiiiiiiii"},
        PollCase{"LongerAnswerFirstFourBytesCount", "3C000C0011223344,silent", "cacccacccc"},
        // A short answer must not be completed with an earlier answer's bytes.
        PollCase{"ShortAnswerChangesNothing", "5C00000F,1400000F,5C00,silent", "cccccccccc"},
        PollCase{"ShortAnswersThenAStatus", "5C,5C00,5C0000,10000000,silent", "ccccccaccc"}));

TEST_F(Exchanges, PrinterClosingTheConnectionShowsOffLineOnceAndEndsThePoller) {
    play({withStatus("1400000F,5C00000F,close")});
    RecordingPanel panel;
    net::StatusPoller poller;
    ASSERT_TRUE(poller.start("127.0.0.1", panel));
    // No reconnection and no spinning on the dead connection: the poller ends by itself.
    ASSERT_TRUE(eventually([&] { return !poller.running(); }));
    poller.stop();
    EXPECT_EQ(lampText(panel.lamps()), "aiiiiiiiii");
    EXPECT_EQ(panel.allIdle(), 1);
    const auto printer = record().printers[0];
    EXPECT_EQ(printer.statusConnections, 1);
    EXPECT_EQ(printer.statusRequests, 3);
}

TEST_F(Exchanges, UnreachablePrinterShowsOffLineAndEndsThePoller) {
    play({printerAt("127.0.0.2", "00 11 22 33 44 55")});
    for (const std::string address : {"127.0.0.1", "printer", "127.0.0.20000000"}) {
        RecordingPanel panel;
        net::StatusPoller poller;
        ASSERT_TRUE(poller.start(address, panel));
        ASSERT_TRUE(eventually([&] { return !poller.running(); }));
        poller.stop();
        EXPECT_EQ(lampText(panel.lamps()), "aiiiiiiiii") << address;
        EXPECT_EQ(panel.changes(), 2) << address;
    }
}

TEST_F(Exchanges, StoppingThePollerEndsItsBlockedReceiveAndItsLampChanges) {
    play({withStatus("1400000F,silent")});
    RecordingPanel panel;
    net::StatusPoller poller;
    ASSERT_TRUE(poller.start("127.0.0.1", panel));
    ASSERT_TRUE(
        simulatorSees([](const SimulatorRecord& r) { return r.printers[0].statusRequests == 2; }));
    EXPECT_TRUE(poller.running());
    EXPECT_TRUE(returnsWithin([&] { poller.stop(); }));
    EXPECT_FALSE(poller.running());
    const int changes = panel.changes();
    panel.setAllLamps(net::LampState::Idle);
    EXPECT_EQ(panel.changes(), changes + 1);
    EXPECT_EQ(lampText(panel.lamps()), "iiiiiiiiii");
}

TEST_F(Exchanges, UnusableAddressTextReachesNoPrinter) {
    play({PrinterProfile{}});
    RecordingPanel panel;
    net::StatusPoller poller;
    ASSERT_TRUE(poller.start("127.0.0.1\t\t\t\t\t\t\t", panel));
    ASSERT_TRUE(eventually([&] { return !poller.running(); }));
    poller.stop();
    EXPECT_EQ(lampText(panel.lamps()), "aiiiiiiiii");
    EXPECT_EQ(record().printers[0].statusConnections, 0);
}

// Before the stop closed without linger, this stop took the whole linger time (60 s).
TEST_F(Exchanges, StoppingAPollerWhosePrinterTakesNoMoreDataReturnsPromptly) {
    play({});
    StalledPrinter printer(0x7F000009u);
    ASSERT_TRUE(printer);
    RecordingPanel panel;
    net::StatusPoller poller;
    ASSERT_TRUE(poller.start("127.0.0.9", panel));
    ASSERT_TRUE(eventually([&] { return printer.stalled(); })) << panel.changes();
    EXPECT_TRUE(poller.running());
    EXPECT_TRUE(returnsWithin([&] { poller.stop(); }, kPrompt));
    EXPECT_FALSE(poller.running());
}

// A printer that answers at once: lamp changes come one after the other when the stop does.
TEST_F(Exchanges, StoppingThePollerDuringAFloodOfLampChangesReturnsPromptlyEveryTime) {
    play({PrinterProfile{}});
    for (int round = 0; round < 40; ++round) {
        RecordingPanel panel;
        net::StatusPoller poller;
        ASSERT_TRUE(poller.start("127.0.0.1", panel));
        ASSERT_TRUE(eventually([&] { return panel.changes() > 100; })) << "round " << round;
        EXPECT_TRUE(returnsWithin([&] { poller.stop(); }, kPrompt)) << "round " << round;
        const int afterStop = panel.changes();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_EQ(panel.changes(), afterStop) << "a lamp changed after the stop";
    }
}

TEST_F(Exchanges, StartStopStartLeavesExactlyOnePoller) {
    play({withStatus("1400000F,silent")});
    RecordingPanel panel;
    net::StatusPoller poller;
    ASSERT_TRUE(poller.start("127.0.0.1", panel));
    poller.stop();
    ASSERT_TRUE(poller.start("127.0.0.1", panel));
    // The first poller may have been stopped before it connected; either way one is left.
    ASSERT_TRUE(simulatorSees(
        [](const SimulatorRecord& r) { return r.printers[0].statusConnectionsOpen == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(record().printers[0].statusConnectionsOpen, 1);
    EXPECT_TRUE(poller.running());
    poller.stop();
    EXPECT_TRUE(simulatorSees(
        [](const SimulatorRecord& r) { return r.printers[0].statusConnectionsOpen == 0; }));
}

// ---- the simulator itself, under the loads the dialogs' tests bring

TEST_F(Exchanges, SimulatorRefusesAPrinterWithoutStatusScript) {
    sim::PrinterSimulator::Options options;
    options.printers = {PrinterProfile{}};
    options.printers[0].status.clear();
    sim::PrinterSimulator simulator(std::move(options));
    EXPECT_FALSE(simulator.start());
    EXPECT_EQ(simulator.error(), "the printer at 127.0.0.1 has no status script");
}

// 1201 sockets: past the 1024 descriptors that a select set holds.
TEST_F(Exchanges, SimulatorServesSixHundredPrinters) {
    std::vector<PrinterProfile> printers{printerAt("127.0.0.1", "00 11 22 33 00 01")};
    while (printers.size() < 600) printers.push_back(sim::nextPrinter(printers.back()));
    for (auto& printer : printers) printer.status = *sim::parseStatusScript("3C000C00,silent");
    play(printers);
    ASSERT_EQ(printers.back().ip, "127.0.2.88");

    ReplyCollector collector;
    net::DiscoveryListener listener;
    ASSERT_TRUE(listener.start(collector.sink()));
    ASSERT_TRUE(simulatorSees([](const SimulatorRecord& r) { return r.discoveryRequests == 1; }));
    // Loopback may drop replies once the listener's receive buffer is full; some must come.
    ASSERT_TRUE(eventually([&] { return collector.count() > 0; }));
    listener.stop();

    for (const std::size_t i : {std::size_t{0}, std::size_t{599}}) {
        RecordingPanel panel;
        net::StatusPoller poller;
        ASSERT_TRUE(poller.start(printers[i].ip, panel));
        ASSERT_TRUE(simulatorSees(
            [&](const SimulatorRecord& r) { return r.printers[i].statusRequests == 2; }));
        poller.stop();
        EXPECT_EQ(lampText(panel.lamps()), "cacccacccc") << printers[i].ip;
        EXPECT_EQ(net::runSelfTest(printers[i].ip), net::kSelfTestDone) << printers[i].ip;
    }
}

// A client that sends status requests and never reads the answers holds back only itself.
TEST_F(Exchanges, SimulatorKeepsServingWhileAClientSendsWithoutReading) {
    play({withStatus("1400000F")});
    net::Socket greedy = net::Socket::tcp();
    ASSERT_TRUE(greedy.connect({net::kLoopbackAddress, net::kStatusPort}));
    sim::setNonBlocking(greedy);
    std::vector<std::uint8_t> requests;
    for (int i = 0; i < 4096; ++i) requests.insert(requests.end(), {0x1B, 0x76});
    // Until the connection takes no more: the simulator has stopped reading it.
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    int refusedInARow = 0;
    while (refusedInARow < 100 && std::chrono::steady_clock::now() < deadline) {
        const auto sent = greedy.send(requests);
        refusedInARow = sent.status == net::IoStatus::WouldBlock ? refusedInARow + 1 : 0;
        if (refusedInARow) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(refusedInARow, 100);

    ReplyCollector collector;
    net::DiscoveryListener listener;
    ASSERT_TRUE(listener.start(collector.sink()));
    EXPECT_TRUE(eventually([&] { return collector.count() == 1; }));
    listener.stop();
    RecordingPanel panel;
    net::StatusPoller poller;
    ASSERT_TRUE(poller.start("127.0.0.1", panel));
    EXPECT_TRUE(eventually([&] { return panel.changes() > 10; }));
    poller.stop();
    EXPECT_EQ(net::runSelfTest("127.0.0.1"), net::kSelfTestDone);
    EXPECT_TRUE(returnsWithin([&] { simulator_->stop(); }, kPrompt));
}

}  // namespace
