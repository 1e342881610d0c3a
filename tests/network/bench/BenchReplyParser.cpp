#include <benchmark/benchmark.h>

#include <string>

#include "network/protocol/DiscoveryReply.h"

namespace {

void ReplyParsing(benchmark::State& state) {
    const std::string reply =
        "IP:127.0.0.1;PRNPORT:9100;SUBNETWORK:255.0.0.0;GATEWAY:127.0.0.1;DHCP:0;DTIMEOUT:30;"
        "MAC:00 11 22 33 44 55;";
    for (auto _ : state) {
        auto parsed = net::parseReply(reply);
        benchmark::DoNotOptimize(parsed);
    }
    state.counters["replies_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(ReplyParsing);

}  // namespace

BENCHMARK_MAIN();
