// Figures of the network dialogs under load, for `make bench`: the real dialogs, the printer
// simulator in this process, inside the isolated namespace (tools/wine-netns-run). It reports,
// it does not judge.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "LocalInterfaces.h"
#include "NetworkDialogSupport.h"
#include "network/dialogs/AddNewTCPIPPort.h"
#include "network/dialogs/PrinterStatusDialog.h"
#include "resource.h"

using namespace netdialogs_test;

namespace {

constexpr int kManyPrinters = 255;

// The CPU time of the whole process, every thread, as the host counts it (under Wine the
// program's /proc entry is readable through drive Z:); the Windows call where there is none.
double ProcessCpuSeconds() {
    std::FILE* stat = std::fopen("Z:\\proc\\self\\stat", "r");
    if (stat) {
        char text[1024] = {};
        const std::size_t length = std::fread(text, 1, sizeof text - 1, stat);
        std::fclose(stat);
        const std::string line(text, length);
        // Fields 14 and 15, user and system time in clock ticks, follow the command's ")".
        std::size_t at = line.rfind(')');
        unsigned long long user = 0, system = 0;
        if (at != std::string::npos &&
            std::sscanf(line.c_str() + at + 1,
                        " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user,
                        &system) == 2) {
            return (user + system) / 100.0;
        }
    }
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return ((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// The longest time the dialog took to answer a message while the poller ran.
DWORD WorstAnswer(HWND hwnd, DWORD milliseconds) {
    DWORD worst = 0;
    const ULONGLONG end = ::GetTickCount64() + milliseconds;
    while (::GetTickCount64() < end) {
        const ULONGLONG sent = ::GetTickCount64();
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer);
        worst = std::max(worst, static_cast<DWORD>(::GetTickCount64() - sent));
        ::Sleep(50);
    }
    return worst;
}

void ManyPrintersAnswering() {
    std::vector<sim::PrinterProfile> profiles{Printer("127.0.1.1", "00 11 22 00 00 01")};
    while (profiles.size() < kManyPrinters) profiles.push_back(sim::nextPrinter(profiles.back()));
    Printers printers(profiles);
    if (!printers.started()) return;
    AddNewTCPIPPort dialog;
    int listed = 0;
    ULONGLONG elapsed = 0;
    RunWithUser(dialog, "Add New TCP/IP Port", [&](HWND hwnd) {
        const ULONGLONG opened = ::GetTickCount64();
        Eventually([&] { return ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST) == kManyPrinters; }, 20s);
        elapsed = ::GetTickCount64() - opened;
        ::Sleep(500);
        listed = ComboCount(hwnd, IDC_TCPIP_ADDRESS_LIST);
    });
    std::printf(
        "%d printers answering one discovery request: %d listed, %d lost, the last "
        "listed %llu ms after the dialog appeared\n",
        kManyPrinters, listed, kManyPrinters - listed, elapsed);
}

void StatusWithSilentPrinter() {
    auto printer = Printer("127.0.0.60", "00 11 22 33 44 60");
    printer.status = *sim::parseStatusScript("silent");
    Printers printers({printer});
    if (!printers.started()) return;
    PrinterStatusDialog dialog("127.0.0.60");
    RunWithUser(dialog, "Check Printer Status", [&](HWND hwnd) {
        Click(hwnd, IDC_AUTO_STATUS);
        ::Sleep(500);
        const double before = ProcessCpuSeconds();
        const ULONGLONG start = ::GetTickCount64();
        ::Sleep(5000);
        const double used = ProcessCpuSeconds() - before;
        const double wall = (::GetTickCount64() - start) / 1000.0;
        std::printf(
            "status dialog polling a silent printer: %.1f %% CPU of the whole program "
            "over %.1f s\n",
            100.0 * used / wall, wall);
    });
}

void StatusWithAnsweringPrinter() {
    auto printer = Printer("127.0.0.61", "00 11 22 33 44 61");
    // Every answer changes lamps: the busy pattern and the cover pattern by turns.
    printer.status = *sim::parseStatusScript(
        "5C00000F,3C000C00,5C00000F,3C000C00,5C00000F,3C000C00,5C00000F,3C000C00");
    Printers printers({printer});
    if (!printers.started()) return;
    PrinterStatusDialog dialog("127.0.0.61");
    RunWithUser(dialog, "Check Printer Status", [&](HWND hwnd) {
        Click(hwnd, IDC_AUTO_STATUS);
        ::Sleep(500);
        const long before = printers.record().printers[0].statusRequests;
        const ULONGLONG start = ::GetTickCount64();
        const DWORD worst = WorstAnswer(hwnd, 5000);
        const double wall = (::GetTickCount64() - start) / 1000.0;
        const long answered = printers.record().printers[0].statusRequests - before;
        std::printf(
            "status dialog with a printer answering at once: %.0f lamp updates per "
            "second, the dialog answered every message within %lu ms\n",
            answered / wall, worst);
    });
}

}  // namespace

int main() {
    if (!sim::onlyLoopbackInterfaces()) {
        std::fprintf(stderr,
                     "network_dialogs_bench broadcasts: run it through "
                     "tools/wine-netns-run\n");
        return 2;
    }
    MessageBoxes boxes;
    ManyPrintersAnswering();
    StatusWithSilentPrinter();
    StatusWithAnsweringPrinter();
    return 0;
}
