#include "platform/SpoolerFetch.h"

#include <cstdio>
#include <exception>

namespace {
constexpr DWORD kProbeSize = 10;
}  // namespace

SpoolerFetchResult FetchFromSpooler(const SpoolerRequest& request, std::vector<BYTE>& data,
                                    SpoolerFetchOptions options) {
    data.clear();
    BYTE probe[kProbeSize] = {};
    DWORD needed = 0;
    if (request(probe, kProbeSize, &needed)) {
        data.assign(probe, probe + kProbeSize);
        return SpoolerFetchResult::FitInProbe;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return SpoolerFetchResult::Failed;

    if (options.traceAllocation) {
        std::printf("Allocating a buffer of size %d", static_cast<int>(needed));
        std::fflush(stdout);
    }
    try {
        data.resize(needed);
    } catch (const std::exception&) {
        if (options.traceAllocation) {
            std::printf("Can't get memory for new data buffer");
            std::fflush(stdout);
        }
        return SpoolerFetchResult::Failed;
    }
    if (!request(data.data(), needed, &needed)) {
        data.clear();
        return SpoolerFetchResult::Failed;
    }
    return SpoolerFetchResult::Fetched;
}
