#pragma once

#include <cstddef>
#include <vector>

#include "network/protocol/Socket.h"
#include "network/protocol/StopSignal.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#endif

namespace sim {

// A wait for any of many sockets, with no limit on their number or on the size of their
// descriptors (a select set holds 1024 on Linux, which a few hundred printers reach), that a
// stop ends at once.
class PollSet {
public:
    void clear() { entries_.clear(); }
    // The index under which readable() and writable() answer for this socket after a wait.
    std::size_t add(const net::Socket& socket, bool read, bool write);

    // Until a socket is ready; false when the stop was requested or the wait failed.
    bool wait(const net::StopSignal& stop);

    bool readable(std::size_t index) const;
    bool writable(std::size_t index) const;

private:
#ifdef _WIN32
    std::vector<WSAPOLLFD> entries_;
#else
    std::vector<pollfd> entries_;
#endif
};

}  // namespace sim
