#pragma once

#include <condition_variable>
#include <mutex>

#include "network/protocol/LampState.h"

// The lamps as the status dialog would show them, set from the poller's thread and read from the
// test's, and how often the poller changed them.
class RecordingPanel : public net::LampPanel {
public:
    RecordingPanel() { lamps_.fill(net::LampState::Idle); }

    void setLamp(net::Lamp lamp, net::LampState state) override {
        std::lock_guard lock(mutex_);
        lamps_[net::lampIndex(lamp)] = state;
        ++changes_;
    }

    void setAllLamps(net::LampState state) override {
        std::lock_guard lock(mutex_);
        lamps_.fill(state);
        ++changes_;
        if (state == net::LampState::Idle) ++allIdle_;
    }

    net::LampStates lamps() const {
        std::lock_guard lock(mutex_);
        return lamps_;
    }
    int changes() const {
        std::lock_guard lock(mutex_);
        return changes_;
    }
    int allIdle() const {
        std::lock_guard lock(mutex_);
        return allIdle_;
    }

private:
    mutable std::mutex mutex_;
    net::LampStates lamps_{};
    int changes_ = 0;
    int allIdle_ = 0;
};
