// The program's own installation, from the start of InstallPrinter to its end, in the
// 32-bit prefix where it completes: driver, printer, default printer, setup INF.
#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <cstring>

#include "BenchTiming.h"
#include "install/FileCopy.h"
#include "install/Installer.h"
#include "platform/ProgramFolder.h"
#include "state/ProcessWide.h"

int main() {
    constexpr char kPrinter[] = "Quelor Bench Printer";
    ::SetCurrentDirectoryA(ProgramFolder().c_str());
    SetupState& setup = Process().setup;
    setup.osName = "Windows7";
    CFileCopy("").CopyDriverFiles();
    setup.printerName = kPrinter;
    setup.makeDefault = 1;
    std::string storedInf;
    return ReportInstallTime(
        "InstallPrinter",
        [&] {
            // As the USB path leaves it: the setup INF beside the virtual COM port INF.
            setup.setupInfPath = ProgramFolder() + "x86\\ousb_dev_serial_x86.inf";
            CInstaller installer;
            installer.printerPort = "LPT1:";
            installer.InstallPrinter();
            storedInf = installer.oemInfName;
            return installer.addedPrinterName == kPrinter && !storedInf.empty();
        },
        [&] { UndoInstallation(kPrinter, storedInf.c_str()); });
}
