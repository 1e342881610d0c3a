// The family's status monitor: copied from the package's STM folder into the driver
// directory, started at every logon through the machine's Run key, and started now.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <string>
#include <vector>

#include "framework/WinApp.h"
#include "install/Installer.h"
#include "platform/SystemCalls.h"
#include "platform/UniqueHandle.h"

namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string StatusMonitorFolder(const std::string& driverDirectory) {
    return driverDirectory + "\\STM\\";
}

}  // namespace

BOOL CInstaller::CopyStatusMonitor() {
    if (!driverDirectory) return FALSE;
    // Closed by two NULs, so that the folder also serves as the shell's file list.
    std::string destination = StatusMonitorFolder(*driverDirectory);
    destination.append(2, '\0');

    int wideSize = ::MultiByteToWideChar(CP_THREAD_ACP, 0, destination.c_str(), -1, nullptr, 0);
    if (wideSize <= 0) return FALSE;
    std::vector<wchar_t> wideDestination(static_cast<size_t>(wideSize));
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, destination.c_str(), -1, wideDestination.data(),
                          wideSize);
    int created = ::SHCreateDirectoryExW(nullptr, wideDestination.data(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) return FALSE;

    // The zero fill closes the one-entry list.
    std::array<char, 150> source{};
    std::string sourceFile = std::string("STM\\") + kStatusMonitorName + ".exe";
    sourceFile.copy(source.data(), source.size() - 2);

    CWaitCursor wait;
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_COPY;
    operation.pFrom = source.data();
    operation.pTo = destination.c_str();
    // An existing program is replaced without asking, and a missing one fails quietly.
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
    return System().fileOperation(&operation) == 0;
}

void CInstaller::RegisterStatusMonitorRun() {
    if (!driverDirectory) return;
    // Started at logon by the name without ".exe", as the status monitor was always
    // registered.
    std::string data = StatusMonitorFolder(*driverDirectory) + kStatusMonitorName;
    std::string name = std::string("ZNT") + kStatusMonitorName;
    UniqueRegKey run;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, run.out()) !=
        ERROR_SUCCESS) {
        return;
    }
    ::RegSetValueExA(run.get(), name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1));
}

void CInstaller::LaunchStatusMonitor() {
    if (!driverDirectory) return;
    std::string program = StatusMonitorFolder(*driverDirectory) + kStatusMonitorName + ".exe";
    ::ShellExecuteA(nullptr, "open", program.c_str(), nullptr, nullptr, SW_MINIMIZE);
}

void CInstaller::InstallStatusMonitorForUsb() {
    CWaitCursor wait;
    if (QueryDriverDirectory() && CopyStatusMonitor()) {
        RegisterStatusMonitorRun();
        LaunchStatusMonitor();
    }
    System().setDefaultPrinter(kMonitoredPrinterName);
}
