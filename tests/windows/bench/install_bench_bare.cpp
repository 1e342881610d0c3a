// The same spooler and setup calls as one installation, made directly with the same
// records and nothing else: the floor that InstallPrinter is measured against.
#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <cstring>
#include <string>
#include <vector>

#include "BenchTiming.h"

namespace {

constexpr char kPrinter[] = "Quelor Bench Printer";

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

bool Install(char (&storedInf)[MAX_PATH]) {
    BYTE scratch[10];
    DWORD needed = 0;
    ::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, scratch, sizeof scratch, &needed);
    std::vector<BYTE> directory(needed);
    if (!::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, directory.data(), needed, &needed)) {
        return false;
    }

    DRIVER_INFO_6A driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(kPrinter);
    driver.pDriverPath = const_cast<char*>("unidrv.dll");
    driver.pDataFile = const_cast<char*>("Z410.GPD");
    driver.pConfigFile = const_cast<char*>("unidrvui.dll");
    driver.pHelpFile = const_cast<char*>("unidrv.hlp");
    driver.pDependentFiles = const_cast<char*>(
        "Z613.dll\0GOEMUNI.ini\0GOEMUNI.dll\0unidrvui.dll\0unidrv.dll\0unidrv.hlp\0unires.dll\0"
        "stdnames.gpd\0");
    driver.ftDriverDate = {0x39D00000, 0x01C9ED4C};
    driver.dwlDriverVersion = (DWORDLONG{0x00050000} << 32) | 6;
    driver.pszMfgName = const_cast<char*>("ZNT-Series");
    driver.pszOEMUrl = const_cast<char*>("https://www.znt-series.example/");
    driver.pszHardwareID = const_cast<char*>("USB\\VID_1CBE&PID_0002");
    driver.pszProvider = const_cast<char*>("ZNT-Series");
    if (!::AddPrinterDriverExA(nullptr, 6, reinterpret_cast<BYTE*>(&driver), APD_COPY_ALL_FILES)) {
        return false;
    }

    PRINTER_INFO_2A printer{};
    printer.pPrinterName = const_cast<char*>(kPrinter);
    printer.pShareName = const_cast<char*>(kPrinter);
    printer.pPortName = const_cast<char*>("LPT1:");
    printer.pDriverName = const_cast<char*>(kPrinter);
    printer.pPrintProcessor = const_cast<char*>("winprint");
    printer.pDatatype = const_cast<char*>("RAW");
    printer.Attributes = PRINTER_ATTRIBUTE_DEFAULT | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST;
    printer.Priority = 1;
    HANDLE added = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    if (!added) return false;
    ::ClosePrinter(added);
    ::SetDefaultPrinterA(kPrinter);

    std::string inf = ProgramFolder() + "x86\\2Ksetup.inf";
    return ::SetupCopyOEMInfA(inf.c_str(), nullptr, SPOST_PATH, SP_COPY_NOOVERWRITE, storedInf,
                              MAX_PATH, nullptr, nullptr) != FALSE;
}

}  // namespace

int main() {
    char storedInf[MAX_PATH] = {};
    return ReportInstallTime(
        "bare calls", [&] { return Install(storedInf); },
        [&] { UndoInstallation(kPrinter, storedInf); });
}
