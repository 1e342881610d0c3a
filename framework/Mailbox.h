#pragma once

#include <windows.h>

#include <deque>
#include <mutex>
#include <utility>

// How a worker thread hands values to a window without waiting for the window's thread: the
// values queue here and the window is told by a posted message, which its thread handles when
// it gets to it. A worker never blocks on the window, so the window's thread can stop and join
// the worker at any moment, even while it is delivering.
//
// The window opens the mailbox once it exists and closes it when it goes; values posted while
// it is closed, and values still waiting when it closes, are dropped.
template <class T>
class Mailbox {
public:
    void Open(HWND window, UINT message) {
        std::lock_guard lock(mutex_);
        window_ = window;
        message_ = message;
        items_.clear();
        notified_ = false;
    }

    void Close() {
        std::lock_guard lock(mutex_);
        window_ = nullptr;
        items_.clear();
        notified_ = false;
    }

    // Any thread. False when the window is gone.
    bool Post(T item) {
        std::lock_guard lock(mutex_);
        if (!window_) return false;
        items_.push_back(std::move(item));
        // One message for a whole burst: a flood of values costs the window one wake-up, and the
        // window's queue cannot overflow however fast the worker is.
        if (!notified_) notified_ = ::PostMessageA(window_, message_, 0, 0) != FALSE;
        return true;
    }

    // The window's thread, on the message: everything that has arrived, in order.
    std::deque<T> TakeAll() {
        std::lock_guard lock(mutex_);
        notified_ = false;
        return std::exchange(items_, {});
    }

    // The window's thread: forget what has arrived and not yet been taken.
    void Discard() {
        std::lock_guard lock(mutex_);
        items_.clear();
    }

private:
    std::mutex mutex_;
    HWND window_ = nullptr;
    UINT message_ = 0;
    std::deque<T> items_;
    bool notified_ = false;
};
