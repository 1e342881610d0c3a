#pragma once

#include <atomic>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>

namespace net {

// Runs one callable on a thread of its own, at normal priority with the default stack.
// The thread is never ended from outside: whoever wants it gone makes the callable return (a
// network worker through its stop signal) and then joins it here, which the destructor does too.
// Nothing the callable throws leaves its thread; it is noted in `failed()` instead.
class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { join(); }

    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    WorkerThread(WorkerThread&&) noexcept = default;
    WorkerThread& operator=(WorkerThread&& other) noexcept {
        if (this != &other) {
            join();
            thread_ = std::move(other.thread_);
            state_ = std::move(other.state_);
        }
        return *this;
    }

    // Joins a thread of an earlier start first. False when no thread could be created.
    template <typename Callable>
    bool start(Callable&& work) {
        join();
        auto state = std::make_shared<State>();
        try {
            thread_ = std::thread([state, work = std::forward<Callable>(work)]() mutable noexcept {
                try {
                    work();
                } catch (...) {
                    state->failed.store(true);
                }
                state->finished.store(true);
            });
        } catch (const std::system_error&) {
            return false;
        }
        state_ = std::move(state);
        return true;
    }

    void join() {
        if (thread_.joinable()) thread_.join();
    }

    // Started and not yet returned from its callable.
    bool running() const { return state_ && !state_->finished.load(); }

    // The last callable ended with an exception.
    bool failed() const { return state_ && state_->failed.load(); }

private:
    struct State {
        std::atomic<bool> finished = false;
        std::atomic<bool> failed = false;
    };

    std::thread thread_;
    std::shared_ptr<State> state_;
};

}  // namespace net
