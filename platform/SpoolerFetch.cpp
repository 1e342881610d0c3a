#include "platform/SpoolerFetch.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace {
void Trace(bool enabled, const char* text, DWORD size = 0) {
    if (!enabled) return;
    std::printf(text, static_cast<int>(size));
    std::fflush(stdout);
}
}  // namespace

SpoolerFetchResult FetchFromSpooler(const SpoolerRequest& request, std::vector<BYTE>& data,
                                    SpoolerFetchOptions options) {
    data.clear();
    std::vector<BYTE> probe(options.probeSize);
    DWORD needed = 0;
    BOOL answered = request(probe.empty() ? nullptr : probe.data(), options.probeSize, &needed);
    if (options.probeMustAskForMore) {
        if (answered) {
            data = std::move(probe);
            return SpoolerFetchResult::FitInProbe;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return SpoolerFetchResult::Failed;
    }

    Trace(options.traceAllocation, "Allocating a buffer of size %d\n", needed);
    try {
        data.resize(std::max<DWORD>(needed, options.probeMustAskForMore ? 0 : 1));
    } catch (const std::exception&) {
        Trace(options.traceAllocation, "Can't get memory for new data buffer\n");
        return SpoolerFetchResult::Failed;
    }
    if (!request(data.data(), needed, &needed)) {
        data.clear();
        return SpoolerFetchResult::Failed;
    }
    return SpoolerFetchResult::Fetched;
}
