#pragma once

#include <chrono>
#include <string_view>

namespace net {

inline constexpr int kSelfTestDone = 0;
inline constexpr int kSelfTestFailed = -1;

// How long the self-test waits, from its start, for the printer to take the command and close
// the connection. A printer of the family prints its self-test page in a few seconds; one that
// accepts and never closes must not keep the dialog's thread for ever. Thirty seconds is several
// times a real page and still an end a user will wait for.
inline constexpr std::chrono::seconds kSelfTestPatience{30};

// Makes the printer print its self-test page, on the caller's thread, which it blocks until the
// printer closes the connection or `patience` has passed. An address text longer than any IPv4
// address fails at once. When the time runs out after the command went out, the command has been
// given all the same: the result is done.
int runSelfTest(std::string_view ipAddress, std::chrono::milliseconds patience = kSelfTestPatience);

}  // namespace net
