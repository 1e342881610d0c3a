// Figures for the exchanges against the simulator in the same process. Broadcasts are sent, so
// this runs only inside the isolated namespace of tools/netns-run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "LocalInterfaces.h"
#include "PrinterSimulator.h"
#include "StalledPrinter.h"
#include "network/protocol/DiscoveryListener.h"
#include "network/protocol/StatusPoller.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kBurstPrinters = 255;

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

std::unique_ptr<sim::PrinterSimulator> simulator(std::vector<sim::PrinterProfile> printers) {
    sim::PrinterSimulator::Options options;
    options.printers = std::move(printers);
    options.datagramsOnAnyAddress = true;
    auto simulator = std::make_unique<sim::PrinterSimulator>(std::move(options));
    if (!simulator->start()) return nullptr;
    return simulator;
}

class CountingPanel : public net::LampPanel {
public:
    void setLamp(net::Lamp, net::LampState) override {}
    void setAllLamps(net::LampState) override { ++allSet; }
    std::atomic<long> allSet = 0;
};

// One discovery request, 255 printers answering at once: the time until the last reply reaches
// the sink, and how many never do.
void DiscoveryBurst(benchmark::State& state) {
    if (!sim::onlyLoopbackInterfaces()) return state.SkipWithError("needs tools/netns-run");
    std::vector<sim::PrinterProfile> printers(1);
    while (printers.size() < kBurstPrinters) printers.push_back(sim::nextPrinter(printers.back()));
    auto printerSim = simulator(printers);
    if (!printerSim) return state.SkipWithError("the simulator could not start");

    double lost = 0;
    for (auto _ : state) {
        std::atomic<std::size_t> received = 0;
        std::atomic<long long> lastArrival = 0;
        net::DiscoveryListener listener;
        const auto start = Clock::now();
        listener.start([&](const std::string&) {
            ++received;
            lastArrival = (Clock::now() - start).count();
        });
        // Replies still missing after a quiet half second are taken as lost.
        auto quietSince = Clock::now();
        std::size_t seen = 0;
        while (received < kBurstPrinters &&
               Clock::now() - quietSince < std::chrono::milliseconds(500)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            if (received != seen) {
                seen = received;
                quietSince = Clock::now();
            }
        }
        listener.stop();
        lost += static_cast<double>(kBurstPrinters - received);
        state.SetIterationTime(
            std::chrono::duration<double>(Clock::duration(lastArrival.load())).count());
    }
    state.counters["printers"] = kBurstPrinters;
    state.counters["lost_per_burst"] = lost / static_cast<double>(state.iterations());
}
BENCHMARK(DiscoveryBurst)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// A printer that answers at once: how many request and answer cycles the poller makes.
void StatusPollerCycles(benchmark::State& state) {
    auto printerSim = simulator({sim::PrinterProfile{}});
    if (!printerSim) return state.SkipWithError("the simulator could not start");
    for (auto _ : state) {
        CountingPanel panel;
        net::StatusPoller poller;
        poller.start("127.0.0.1", panel);
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const long cycles = panel.allSet - 1;  // less the one made on connecting
        poller.stop();
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        state.SetIterationTime(elapsed.count());
        state.counters["cycles_per_s"] = static_cast<double>(cycles) / elapsed.count();
    }
}
BENCHMARK(StatusPollerCycles)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// A printer that stays silent: the poller should sit in a blocked receive, costing no CPU.
void StatusPollerSilentCpu(benchmark::State& state) {
    sim::PrinterProfile silent;
    silent.status = *sim::parseStatusScript("silent");
    auto printerSim = simulator({silent});
    if (!printerSim) return state.SkipWithError("the simulator could not start");
    for (auto _ : state) {
        CountingPanel panel;
        net::StatusPoller poller;
        poller.start("127.0.0.1", panel);
        printerSim->waitUntil(
            [](const sim::SimulatorRecord& r) { return r.printers[0].statusRequests >= 1; },
            std::chrono::seconds(5));
        const double cpuBefore = processCpuSeconds();
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        const double cpu = processCpuSeconds() - cpuBefore;
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        poller.stop();
        state.SetIterationTime(elapsed.count());
        state.counters["cpu_percent"] = 100.0 * cpu / elapsed.count();
    }
}
BENCHMARK(StatusPollerSilentCpu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

// A printer that takes no more data, as a vanished one: how long the poller's stop takes. With
// the linger of the status socket kept on the stop's close, this was the whole linger (60 s).
void StatusPollerStopVanishedPrinter(benchmark::State& state) {
    if (!sim::onlyLoopbackInterfaces()) return state.SkipWithError("needs tools/netns-run");
    double longest = 0;
    for (auto _ : state) {
        StalledPrinter printer(0x7F00000Au);
        if (!printer) return state.SkipWithError("127.0.0.10:4000 is taken");
        CountingPanel panel;
        net::StatusPoller poller;
        poller.start("127.0.0.10", panel);
        const auto waitFrom = Clock::now();
        while (!printer.stalled() && Clock::now() - waitFrom < std::chrono::seconds(10)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (!printer.stalled()) return state.SkipWithError("the printer never stalled");
        const auto start = Clock::now();
        poller.stop();
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        longest = std::max(longest, elapsed.count());
        state.SetIterationTime(elapsed.count());
    }
    state.counters["longest_stop_ms"] = longest * 1000;
}
BENCHMARK(StatusPollerStopVanishedPrinter)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
