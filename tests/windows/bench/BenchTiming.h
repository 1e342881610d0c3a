#pragma once

#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

// Times `install` over a few rounds after a warm-up (the first calls load the spooler's
// providers), with `undo` between rounds, untimed; prints the median and the fastest
// round in microseconds as "median_us=N" and "fastest_us=N" for tools/run-benchmarks.
// The spooler's registry writes sometimes wait for the machine's other work: the fastest
// round is the installation's cost without that.
inline int ReportInstallTime(const char* what, const std::function<bool()>& install,
                             const std::function<void()>& undo) {
    constexpr int kWarmUp = 3;
    constexpr int kRounds = 40;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> micros;
    for (int round = 0; round < kWarmUp + kRounds; ++round) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        bool installed = install();
        ::QueryPerformanceCounter(&end);
        undo();
        if (!installed) {
            std::printf("%s: the installation failed in round %d\n", what, round);
            return 1;
        }
        if (round >= kWarmUp) {
            micros.push_back(1e6 * double(end.QuadPart - start.QuadPart) /
                             double(frequency.QuadPart));
        }
    }
    std::sort(micros.begin(), micros.end());
    double median = micros[micros.size() / 2];
    std::printf("\n%s: %d rounds, median %.0f us, fastest %.0f us\n", what, kRounds, median,
                micros.front());
    std::printf("median_us=%.0f\nfastest_us=%.0f\n", median, micros.front());
    return 0;
}

// Removes what one installation added, so that the next round starts from the same state.
inline void UndoInstallation(const char* printer, const char* storedInf) {
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE handle = nullptr;
    if (::OpenPrinterA(const_cast<char*>(printer), &handle, &defaults)) {
        ::DeletePrinter(handle);
        ::ClosePrinter(handle);
    }
    ::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(printer));
    if (storedInf && *storedInf) {
        const char* backslash = std::strrchr(storedInf, '\\');
        ::SetupUninstallOEMInfA(backslash ? backslash + 1 : storedInf, SUOI_FORCEDELETE, nullptr);
    }
}
