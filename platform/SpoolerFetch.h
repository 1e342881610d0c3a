#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// The spooler answers most queries in two calls: one that learns the size it needs, and
// one into a buffer of that size. `request` makes one call with the buffer and size it is
// given and reports the size needed.
using SpoolerRequest = std::function<BOOL(BYTE* buffer, DWORD size, DWORD* needed)>;

enum class SpoolerFetchResult {
    Fetched,     // the second call filled `data`
    FitInProbe,  // the first call already succeeded (nothing to fetch, say no ports)
    Failed,      // a call failed, or no buffer of the size asked could be had
};

struct SpoolerFetchOptions {
    // The first call's buffer: a small scratch buffer that no answer of interest fits, or
    // with 0 no buffer at all.
    DWORD probeSize = 10;
    // Only a first call that failed with ERROR_INSUFFICIENT_BUFFER lets the second call
    // follow. Without it the first call's answer is not looked at, and the second always
    // goes out into the size named (a size of 0 still gets a usable buffer).
    bool probeMustAskForMore = true;
    // Write the trace lines "Allocating a buffer of size %d" and, when no memory is left,
    // "Can't get memory for new data buffer" to standard output.
    bool traceAllocation = true;
};

SpoolerFetchResult FetchFromSpooler(const SpoolerRequest& request, std::vector<BYTE>& data,
                                    SpoolerFetchOptions options = {});
