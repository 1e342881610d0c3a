#pragma once

#include <string_view>

namespace net {

inline constexpr int kSelfTestDone = 0;
inline constexpr int kSelfTestFailed = -1;

// Makes the printer print its self-test page, on the caller's thread, which it blocks until the
// printer closes the connection.
int runSelfTest(std::string_view ipAddress);

}  // namespace net
