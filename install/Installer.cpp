// One installation: the driver and the printer registered with the spooler, the default
// printer settled, the setup INF handed to the system.
#include "install/Installer.h"

#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <array>
#include <cstdio>
#include <string>

#include "framework/WinApp.h"
#include "install/DriverDirectory.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemCalls.h"
#include "platform/UniqueHandle.h"
#include "state/ProcessWide.h"

namespace {

constexpr char kMessageCaption[] = "ZNT Series Printer Driver - Setup";
constexpr char kX64Environment[] = "Windows x64";
constexpr char kSetupInf[] = "2Ksetup.inf";
constexpr char kX64SetupInf[] = "2Ksetupx64.inf";
constexpr char kHardwareId[] = "USB\\VID_1CBE&PID_0002";
constexpr char kManufacturer[] = "ZNT-Series";
constexpr char kManufacturerUrl[] = "https://www.znt-series.example/";
// Every file the driver needs besides its own three, as the spooler's NUL-separated list.
constexpr char kDependentFiles[] =
    "Z613.dll\0GOEMUNI.ini\0GOEMUNI.dll\0unidrvui.dll\0unidrv.dll\0unidrv.hlp\0unires.dll\0"
    "stdnames.gpd\0";

// 15 June 2009, 00:00 UTC, and version 5.0.0.6: the driver's own date and version.
constexpr FILETIME kDriverDate{0x39D00000, 0x01C9ED4C};
constexpr DWORDLONG kDriverVersion = (DWORDLONG{0x00050000} << 32) | 6;

// The local port monitor takes a port name of at most this many wide characters,
// its terminating NUL included.
constexpr int kPortNameCapacity = 255;

// Windows' spooler refuses printer names longer than this; no copy name may outgrow it.
constexpr size_t kMaxPrinterName = 220;
// A spooler that calls every one of this many copy names taken will not take the next:
// the copy-name loop gives up there rather than asking for ever.
constexpr int kMaxCopyNumber = 9999;

// The printer name for the n-th copy, or empty when it would not fit a printer name.
std::string CopyName(const std::string& printerName, int n) {
    std::array<char, 32> suffix{};
    int length = std::snprintf(suffix.data(), suffix.size(), " (Copy %d)", n);
    if (length < 0 || static_cast<size_t>(length) >= suffix.size()) return {};
    if (printerName.size() + static_cast<size_t>(length) > kMaxPrinterName) return {};
    return printerName + suffix.data();
}

}  // namespace

CInstaller::CInstaller() = default;
CInstaller::~CInstaller() = default;

void CInstaller::InstallPrinter() {
    CWaitCursor wait;
    if (!QueryDriverDirectory() || !RegisterDriver() || !AddPrinterOnPort()) return;
    if (addedPrinterName == kMonitoredPrinterName && CopyStatusMonitor()) {
        RegisterStatusMonitorRun();
        LaunchStatusMonitor();
    }
    CopySetupInf();
}

BOOL CInstaller::QueryDriverDirectory() {
    std::string directory;
    if (!QuerySpoolerDriverDirectory(directory)) {
        driverDirectory.reset();
        return FALSE;
    }
    driverDirectory = std::move(directory);
    return TRUE;
}

BOOL CInstaller::RegisterDriver() {
    const SetupState& setup = Process().setup;
    DRIVER_INFO_6A driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(setup.printerName.c_str());
    driver.pEnvironment = setup.is64BitWindows == 1 ? const_cast<char*>(kX64Environment) : nullptr;
    driver.pDriverPath = const_cast<char*>("unidrv.dll");
    driver.pDataFile = const_cast<char*>("Z410.GPD");
    driver.pConfigFile = const_cast<char*>("unidrvui.dll");
    driver.pHelpFile = const_cast<char*>("unidrv.hlp");
    driver.pDependentFiles = const_cast<char*>(kDependentFiles);
    driver.ftDriverDate = kDriverDate;
    driver.dwlDriverVersion = kDriverVersion;
    driver.pszMfgName = const_cast<char*>(kManufacturer);
    driver.pszOEMUrl = const_cast<char*>(kManufacturerUrl);
    driver.pszHardwareID = const_cast<char*>(kHardwareId);
    driver.pszProvider = const_cast<char*>(kManufacturer);

    if (System().addPrinterDriverEx(nullptr, 6, reinterpret_cast<BYTE*>(&driver),
                                    APD_COPY_ALL_FILES)) {
        return TRUE;
    }
    AppMessageBox("error code is " + std::to_string(::GetLastError()), MB_OK);
    return FALSE;
}

BOOL CInstaller::AddPrinterOnPort() {
    const SetupState& setup = Process().setup;
    addedPrinterName = setup.printerName;

    PRINTER_INFO_2A printer{};
    printer.pPrinterName = const_cast<char*>(addedPrinterName.c_str());
    printer.pShareName = const_cast<char*>(setup.printerName.c_str());
    printer.pPortName = const_cast<char*>(printerPort.c_str());
    printer.pDriverName = const_cast<char*>(setup.printerName.c_str());
    printer.pPrintProcessor = const_cast<char*>("winprint");
    // Windows' spooler would fill in winprint's default data type; others store none and
    // then cannot open the printer they have just added.
    printer.pDatatype = const_cast<char*>("RAW");
    printer.Attributes = PRINTER_ATTRIBUTE_DEFAULT | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST;
    printer.Priority = 1;

    // A cut port name would create a port nobody asked for: such a name never reaches
    // the port monitor.
    std::array<wchar_t, kPortNameCapacity> widePort{};
    bool portFits = ::MultiByteToWideChar(CP_ACP, 0, printerPort.c_str(), -1, widePort.data(),
                                          kPortNameCapacity) != 0;

    bool makeNewDefault = setup.makeDefault == 1 || setup.installedPrinterCount == 0;
    std::array<char, MAX_PATH> previousDefault{};
    if (!makeNewDefault) {
        DWORD size = static_cast<DWORD>(previousDefault.size());
        System().getDefaultPrinter(previousDefault.data(), &size);
        previousDefault.back() = '\0';
    }

    DWORD lastError = ERROR_SUCCESS;
    auto attempt = [&] {
        UniquePrinter added(System().addPrinter(nullptr, 2, reinterpret_cast<BYTE*>(&printer)));
        if (added) return true;
        lastError = ::GetLastError();
        return false;
    };
    auto settleDefault = [&] {
        System().setDefaultPrinter(makeNewDefault ? addedPrinterName.c_str()
                                                  : previousDefault.data());
    };

    bool added = attempt();
    if (!added && lastError == ERROR_UNKNOWN_PORT) {
        if (portFits) {
            AddLocalPort(widePort.data());
            added = attempt();
        }
        if (!added && lastError == ERROR_UNKNOWN_PORT) {
            AppMessageBox("Unkown PORT. Installation failed!!", MB_OK);
        }
    }
    if (added) {
        settleDefault();
        return TRUE;
    }

    for (int n = 1; lastError == ERROR_PRINTER_ALREADY_EXISTS; ++n) {
        std::string copyName = n <= kMaxCopyNumber ? CopyName(setup.printerName, n) : "";
        if (copyName.empty()) return FALSE;
        addedPrinterName = std::move(copyName);
        printer.pPrinterName = const_cast<char*>(addedPrinterName.c_str());
        if (attempt()) {
            settleDefault();
            return TRUE;
        }
    }

    if (lastError == ERROR_UNKNOWN_PRINTER_DRIVER) {
        System().messageBox(nullptr, "Printer driver unknown.", kMessageCaption,
                            MB_OK | MB_ICONERROR);
    }
    return FALSE;
}

BOOL CInstaller::CopySetupInf() {
    SetupState& setup = Process().setup;
    setup.setupInfPath =
        FolderOf(setup.setupInfPath) + (setup.is64BitWindows == 1 ? kX64SetupInf : kSetupInf);

    // The plug-and-play update installs from the package's own INF, beside the files it
    // names; the store's copy has no files beside it.
    pnpInfPath = setup.setupInfPath;

    std::array<char, MAX_PATH> stored{};
    BOOL copied = System().setupCopyOEMInf(setup.setupInfPath.c_str(), nullptr, SPOST_PATH,
                                           SP_COPY_NOOVERWRITE, stored.data(),
                                           static_cast<DWORD>(stored.size()), nullptr, nullptr);
    DWORD error = copied ? ERROR_SUCCESS : ::GetLastError();
    stored.back() = '\0';
    oemInfName = stored.data();
    return copied || error == ERROR_FILE_EXISTS;
}

BOOL CInstaller::UpdateUsbPrinterDriver() {
    System().updateDriverForPlugAndPlayDevices(nullptr, kHardwareId, pnpInfPath.c_str(), 0,
                                               nullptr);
    System().setupCopyOEMInf(pnpInfPath.c_str(), pnpInfPath.c_str(), SPOST_NONE,
                             SP_COPY_OEMINF_CATALOG_ONLY, nullptr, 0, nullptr, nullptr);
    return TRUE;
}
