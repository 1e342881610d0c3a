#include <chrono>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "CommandLine.h"
#include "LocalInterfaces.h"
#include "PrinterSimulator.h"

#ifndef _WIN32
#include <pthread.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <ctime>
#endif

namespace {

#ifndef _WIN32
// Each printer takes two listening sockets; a few hundred of them pass the soft limit of 1024
// descriptors that many systems start a program with.
void allowAllDescriptors() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
}
#endif

// Blocks until the simulator should end: a SIGINT or SIGTERM, or the end of `duration`.
// Signals are taken by sigwait, so no handler and no flag shared with one is needed; they are
// blocked before any thread starts, so that every thread inherits the mask.
#ifndef _WIN32
class EndRequest {
public:
    EndRequest() {
        sigemptyset(&signals_);
        sigaddset(&signals_, SIGINT);
        sigaddset(&signals_, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    }

    void wait(std::optional<int> durationSeconds) {
        if (!durationSeconds) {
            int received = 0;
            sigwait(&signals_, &received);
            return;
        }
        timespec limit{*durationSeconds, 0};
        while (sigtimedwait(&signals_, nullptr, &limit) < 0 && errno == EINTR) {
        }
    }

private:
    sigset_t signals_;
};
#else
// Ctrl+C ends a console program at once, which is all the simulator needs; otherwise it runs
// until its standard input ends or its time is up.
class EndRequest {
public:
    void wait(std::optional<int> durationSeconds) {
        if (durationSeconds) {
            std::this_thread::sleep_for(std::chrono::seconds(*durationSeconds));
            return;
        }
        std::string line;
        while (std::getline(std::cin, line)) {
        }
    }
};
#endif

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const auto line = sim::parseCommandLine(arguments, error);
    if (!line) {
        std::cerr << "printer-sim: " << error << "\n\n" << sim::usage();
        return 2;
    }
    if (line->help) {
        std::cout << sim::usage();
        return 0;
    }

    EndRequest end;
#ifndef _WIN32
    allowAllDescriptors();
#endif
    sim::PrinterSimulator::Options options;
    options.printers = line->printers;
    options.datagramsOnAnyAddress = sim::onlyLoopbackInterfaces();
    if (!line->quiet) {
        // The simulator's thread is the only one that logs once it runs.
        options.log = [](const std::string& text) { std::cout << text << std::endl; };
    }
    if (!line->quiet) {
        for (const auto& printer : line->printers) {
            std::cout << "printer-sim: plays " << sim::discoveryReply(printer) << std::endl;
        }
    }
    sim::PrinterSimulator simulator(options);
    if (!simulator.start()) {
        std::cerr << "printer-sim: " << simulator.error() << '\n';
        return 1;
    }
    if (!line->quiet) {
        std::cout << "printer-sim: ready, UDP 3000 on "
                  << (options.datagramsOnAnyAddress ? "all addresses (isolated namespace)"
                                                    : "127.0.0.1 only")
                  << std::endl;
    }
    end.wait(line->durationSeconds);
    simulator.stop();
    return 0;
}
