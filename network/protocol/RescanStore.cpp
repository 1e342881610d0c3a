#include "network/protocol/RescanStore.h"

#include <algorithm>

namespace net {

void RescanStore::resetCount() {
    std::lock_guard lock(mutex_);
    count_ = 0;
}

void RescanStore::record(const std::string& reply) {
    std::lock_guard lock(mutex_);
    if (count_ < kCapacity) texts_[count_] = reply;
    ++count_;
}

std::size_t RescanStore::count() const {
    std::lock_guard lock(mutex_);
    return count_;
}

std::vector<std::string> RescanStore::replies() const {
    std::lock_guard lock(mutex_);
    const auto stored = std::min(count_, kCapacity);
    return {texts_.begin(), texts_.begin() + static_cast<std::ptrdiff_t>(stored)};
}

}  // namespace net
