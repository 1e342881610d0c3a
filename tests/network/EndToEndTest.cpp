// The real printer-sim program against the real exchanges, as a person would run them: the
// simulator in its own process, its log read from its standard output. Runs inside the isolated
// namespace of tools/netns-run; the program's path is the first argument.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <string>
#include <thread>
#include <vector>

#include "LampText.h"
#include "LocalInterfaces.h"
#include "RecordingPanel.h"
#include "ServerSocket.h"
#include "Waiting.h"
#include "network/protocol/DiscoveryListener.h"
#include "network/protocol/DiscoveryReply.h"
#include "network/protocol/HardwareAddress.h"
#include "network/protocol/ProtocolConstants.h"
#include "network/protocol/RebootExchange.h"
#include "network/protocol/RescanListener.h"
#include "network/protocol/SelfTestExchange.h"
#include "network/protocol/SettingsExchange.h"
#include "network/protocol/StatusPoller.h"

extern char** environ;

namespace {

std::string simulatorPath;

// One run of printer-sim with its standard output collected line by line.
class SimulatorProcess {
public:
    explicit SimulatorProcess(std::vector<std::string> arguments) {
        int pipeEnds[2];
        if (::pipe(pipeEnds) != 0) return;
        readEnd_ = pipeEnds[0];
        arguments.insert(arguments.begin(), simulatorPath);
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
        if (posix_spawn(&pid_, simulatorPath.c_str(), &actions, nullptr, argv.data(), environ) !=
            0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeEnds[1]);
        reader_ = std::thread([this] { readLines(); });
    }

    ~SimulatorProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (reader_.joinable()) reader_.join();
        if (readEnd_ >= 0) ::close(readEnd_);
    }

    bool started() const { return pid_ > 0; }

    bool logged(const std::string& text) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, kPatience, [&] {
            for (const auto& line : lines_) {
                if (line.find(text) != std::string::npos) return true;
            }
            return false;
        });
    }

    // Asks the program to end as an interrupted one would, and returns its exit status, or -1
    // when it did not end in time (it is then killed) or was never started. Only the pid this
    // object started is ever signalled: kill(-1), as root, would reach every process.
    int terminate() {
        if (pid_ <= 0) return -1;
        const pid_t pid = std::exchange(pid_, -1);
        ::kill(pid, SIGTERM);
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        pid_t ended = 0;
        while ((ended = ::waitpid(pid, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (ended != pid) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            return -1;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    void readLines() {
        std::string pending;
        char buffer[4096];
        for (;;) {
            const auto count = ::read(readEnd_, buffer, sizeof buffer);
            if (count <= 0) return;
            pending.append(buffer, static_cast<std::size_t>(count));
            std::size_t end;
            {
                std::lock_guard lock(mutex_);
                while ((end = pending.find('\n')) != std::string::npos) {
                    lines_.push_back(pending.substr(0, end));
                    pending.erase(0, end + 1);
                }
            }
            changed_.notify_all();
        }
    }

    pid_t pid_ = -1;
    int readEnd_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

TEST(PrinterSimProgram, PlaysOnePrinterForEveryExchange) {
    ASSERT_TRUE(sim::onlyLoopbackInterfaces()) << "run this program through tools/netns-run";
    SimulatorProcess simulator({"--status", "1400000F,3C000C00,silent"});
    ASSERT_TRUE(simulator.started());
    ASSERT_TRUE(simulator.logged("ready, UDP 3000 on all addresses"));

    std::mutex mutex;
    std::vector<std::string> replies;
    net::DiscoveryListener listener;
    ASSERT_TRUE(listener.start([&](const std::string& reply) {
        std::lock_guard lock(mutex);
        replies.push_back(reply);
    }));
    ASSERT_TRUE(simulator.logged("discovery request, answered for 1 printer(s)"));
    ASSERT_TRUE(eventually([&] {
        std::lock_guard lock(mutex);
        return !replies.empty();
    }));
    listener.stop();
    const auto found = net::parseReply(replies.front());
    ASSERT_EQ(found.ip, "127.0.0.1");
    EXPECT_EQ(found.prnPort, "9100");
    ASSERT_EQ(found.mac, "00 11 22 33 44 55");

    EXPECT_EQ(net::runSelfTest(*found.ip), net::kSelfTestDone);
    EXPECT_TRUE(simulator.logged("self-test data, 7 bytes: 1D 28 41 02 00 00 02"));

    RecordingPanel panel;
    net::StatusPoller poller;
    ASSERT_TRUE(poller.start(*found.ip, panel));
    ASSERT_TRUE(simulator.logged("status request, no answer"));
    poller.stop();
    EXPECT_EQ(lampText(panel.lamps()), "cacccacccc");

    const auto mac = net::withoutBlanks(*found.mac);
    net::SendResult result;
    net::SettingsExchange settings;
    ASSERT_TRUE(settings.start(mac, "127.0.0.8", "255.255.255.0", "127.0.0.1", result));
    ASSERT_TRUE(simulator.logged("settings for 00 11 22 33 44 55: W \"127.0.0.1\""));
    settings.stop();
    EXPECT_EQ(result.get(), net::SendResult::kSent);
    result.reset();
    net::RebootExchange reboot;
    ASSERT_TRUE(reboot.start(mac, result));
    ASSERT_TRUE(simulator.logged("reboot for 00 11 22 33 44 55, now 127.0.0.8"));
    reboot.stop();

    net::RescanStore store;
    net::RescanListener rescan;
    ASSERT_TRUE(rescan.start(store));
    ASSERT_TRUE(eventually([&] { return store.count() == 1; }));
    rescan.stop();
    EXPECT_EQ(net::parseReply(store.replies().front()).ip, "127.0.0.8");

    EXPECT_EQ(simulator.terminate(), 0);
}

// SIGTERM ends the program however it is being used: many printers, descriptors past 1024, a
// client that floods it with requests and reads nothing.
TEST(PrinterSimProgram, EndsOnSigtermUnderLoad) {
    ASSERT_TRUE(sim::onlyLoopbackInterfaces()) << "run this program through tools/netns-run";
    SimulatorProcess simulator({"--quiet", "--printers", "600"});
    ASSERT_TRUE(simulator.started());
    net::Socket greedy = net::Socket::tcp();
    ASSERT_TRUE(eventually([&] {
        greedy = net::Socket::tcp();
        return greedy.connect({0x7F000258u, net::kStatusPort});  // the last, 127.0.2.88
    }));
    sim::setNonBlocking(greedy);
    std::vector<std::uint8_t> requests;
    for (int i = 0; i < 4096; ++i) requests.insert(requests.end(), {0x1B, 0x76});
    int refusedInARow = 0;
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (refusedInARow < 100 && std::chrono::steady_clock::now() < deadline) {
        const auto sent = greedy.send(requests);
        refusedInARow = sent.status == net::IoStatus::WouldBlock ? refusedInARow + 1 : 0;
        if (refusedInARow) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_EQ(refusedInARow, 100) << "the simulator went on reading a client that reads nothing";
    EXPECT_EQ(simulator.terminate(), 0);
}

TEST(PrinterSimProgram, EndsOnSigtermWhenIdle) {
    SimulatorProcess simulator({});
    ASSERT_TRUE(simulator.started());
    ASSERT_TRUE(simulator.logged("ready, UDP 3000"));
    EXPECT_EQ(simulator.terminate(), 0);
    // Terminated once, it is no process of ours any more: nothing is signalled a second time.
    EXPECT_EQ(simulator.terminate(), -1);
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PRINTER_SIM [gtest options]\n", argv[0]);
        return 2;
    }
    simulatorPath = argv[1];
    return RUN_ALL_TESTS();
}
