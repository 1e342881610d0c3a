#pragma once

#include <chrono>
#include <future>
#include <thread>

// Generous limits: they only keep a broken build from hanging, and are never what a test
// measures.
inline constexpr std::chrono::seconds kPatience{10};

// Polls a condition that nothing signals, such as a worker's end.
template <typename Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Runs `action` on another thread and reports whether it returned within the limit. A call that
// hangs is left behind; the test has failed by then and ctest's timeout ends the program.
template <typename Action>
bool returnsWithin(Action action, std::chrono::milliseconds limit = kPatience) {
    auto done = std::async(std::launch::async, action);
    if (done.wait_for(limit) == std::future_status::ready) return true;
    std::thread([done = std::move(done)]() mutable { done.wait(); }).detach();
    return false;
}
