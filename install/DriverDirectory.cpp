#include "install/DriverDirectory.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

#include "platform/SystemCalls.h"

bool QuerySpoolerDriverDirectory(std::string& directory) {
    directory.clear();
    // No driver directory fits: this call only learns the size.
    BYTE scratch[10];
    DWORD needed = 0;
    if (!System().getPrinterDriverDirectory(nullptr, nullptr, 1, scratch, sizeof scratch,
                                            &needed) &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return false;
    }

    std::printf("Allocating a buffer of size %d", static_cast<int>(needed));
    std::fflush(stdout);
    std::vector<BYTE> buffer;
    try {
        buffer.resize(needed);
    } catch (const std::exception&) {
        std::printf("Can't get memory for new data buffer");
        std::fflush(stdout);
        return false;
    }
    if (!System().getPrinterDriverDirectory(nullptr, nullptr, 1, buffer.data(), needed, &needed)) {
        return false;
    }
    directory.assign(reinterpret_cast<char*>(buffer.data()),
                     ::strnlen(reinterpret_cast<char*>(buffer.data()), buffer.size()));
    return true;
}
