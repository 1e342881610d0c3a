#include "install/DriverDirectory.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/SpoolerFetch.h"
#include "platform/SystemCalls.h"

bool QuerySpoolerDriverDirectory(std::string& directory) {
    directory.clear();
    std::vector<BYTE> buffer;
    SpoolerFetchResult result = FetchFromSpooler(
        [](BYTE* data, DWORD size, DWORD* needed) {
            return System().getPrinterDriverDirectory(nullptr, nullptr, 1, data, size, needed);
        },
        buffer);
    if (result == SpoolerFetchResult::Failed) return false;
    directory.assign(reinterpret_cast<char*>(buffer.data()),
                     ::strnlen(reinterpret_cast<char*>(buffer.data()), buffer.size()));
    return true;
}
