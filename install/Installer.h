#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "framework/Wnd.h"

// One installation, on the stack of the port dialog that runs it: the driver and the
// printer registered with the spooler, the status monitor, the setup INF. It never gets
// a window; its messages have no owner.
class CInstaller : public CWnd {
public:
    CInstaller();
    ~CInstaller() override;

    // The whole installation on printerPort.
    void InstallPrinter();

    BOOL QueryDriverDirectory();
    BOOL RegisterDriver();
    BOOL AddPrinterOnPort();
    BOOL CopySetupInf();
    BOOL UpdateUsbPrinterDriver();

    BOOL CopyStatusMonitor();
    void RegisterStatusMonitorRun();
    void LaunchStatusMonitor();
    // The USB arrival's status monitor, and its printer made the default.
    void InstallStatusMonitorForUsb();

    std::string printerPort;
    std::string addedPrinterName;
    std::optional<std::string> driverDirectory;
    std::string pnpInfPath;
    std::string oemInfName;
};

// Creates a port through the Local Port monitor: 0 when it took the command, -1 when the
// monitor cannot be opened, otherwise the system error code.
int AddLocalPort(const std::wstring& portName);

// The printer name for which an installation deploys the status monitor.
inline constexpr char kMonitoredPrinterName[] = "Version - 1.01.007";
inline constexpr char kStatusMonitorName[] = "Version - 1.01.011";
