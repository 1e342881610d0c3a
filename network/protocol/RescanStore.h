#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace net {

// The replies that a rescan collects: the first ten texts and the count of all of them. Texts
// beyond the count are left from earlier rescans and are never read.
class RescanStore {
public:
    static constexpr std::size_t kCapacity = 10;

    void resetCount();
    void record(const std::string& reply);

    std::size_t count() const;
    // The stored texts that belong to the present count, in order of arrival.
    std::vector<std::string> replies() const;

private:
    mutable std::mutex mutex_;
    std::array<std::string, kCapacity> texts_;
    std::size_t count_ = 0;
};

}  // namespace net
