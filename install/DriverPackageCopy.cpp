#include "install/DriverPackageCopy.h"

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <string>

#include "state/ProcessWide.h"
#include "platform/ProgramFolder.h"
#include "framework/WinApp.h"
#include "install/DriverDirectory.h"
#include "platform/SystemCalls.h"

namespace {

// The package's own files, by the name each architecture's folder gives them; the first is
// the setup INF that goes into the OEM INF store.
struct PackageFile {
    const char* x86;
    const char* x64;
    const char* NameFor(CDriverPackageCopy::Architecture architecture) const {
        return architecture == CDriverPackageCopy::Architecture::x64 ? x64 : x86;
    }
};
constexpr PackageFile kPackageFiles[] = {
    {"2Ksetup.inf", "2Ksetupx64.INF"}, {"GOEMUNI.dll", "GOEMUNI.dll"},
    {"GOEMUNI.ini", "GOEMUNI.ini"},    {"Z410.GPD", "Z410.GPD"},
    {"Z613.DLL", "Z613.DLL"},          {"STDNAMES.GPD", "STDNAMES.GPD"},
    {"TTFSUB.GPD", "TTFSUB.GPD"},
};

constexpr std::array<const char*, 7> kUnidrvFiles = {
    "Unidrv.dll",   "unidrv.hlp",   "Unidrvui.dll", "Unires.dll",
    "STDDTYPE.GDL", "STDSCHEM.GDL", "STDSCHMX.GDL",
};

// On 32-bit Windows the driver folders are where the system keeps them on every
// installation the package supports.
constexpr char kX86DriverFolder[] = "C:\\Windows\\System32\\spool\\drivers\\w32x86\\";
constexpr char kX86DriverFolder3[] = "C:\\Windows\\System32\\spool\\drivers\\w32x86\\3\\";
constexpr char kKernelDriverFolder[] = "C:\\Windows\\System32\\drivers\\";

// Every model, DLL, INF, help file and program of the current directory.
constexpr char kWindows8Patterns[] = "*.GPD\0*.DLL\0*.INF\0*.HLP\0*.EXE\0";

// Replaces an existing file; a failed copy is left undone and the sequence goes on.
void CopyReplacing(const std::string& from, const std::string& to) {
    ::CopyFileA(from.c_str(), to.c_str(), FALSE);
}

}  // namespace

void CDriverPackageCopy::CopyDriverFiles() {
    CWaitCursor wait;
    if (QueryDriverDirectory()) CopyFilesForWindows();
}

BOOL CDriverPackageCopy::QueryDriverDirectory() {
    return QuerySpoolerDriverDirectory(driverDirectory);
}

BOOL CDriverPackageCopy::CopyFilesForWindows() {
    const SetupState& setup = Process().setup;
    Architecture architecture = setup.is64BitWindows == 1 ? Architecture::x64 : Architecture::x86;
    CopyPackageFiles(architecture);

    if (setup.osName == "Windows8" && architecture == Architecture::x86) {
        CWaitCursor wait;
        // The shell wants both lists closed by two NULs.
        std::string destination = driverDirectory;
        destination.push_back('\0');
        destination.push_back('\0');
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_COPY;
        operation.pFrom = kWindows8Patterns;
        operation.pTo = destination.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
        System().fileOperation(&operation);
        if (::GetLastError() != 0) CopyPackageFiles(Architecture::x86);
    }
    return TRUE;
}

void CDriverPackageCopy::CopyPackageFiles(Architecture architecture) {
    ProcessWide& process = Process();
    std::string programFolder = ProgramFolder();
    std::string sourceFolder;
    std::string driverFolder;
    std::string driverFolder3;
    if (architecture == Architecture::x64) {
        sourceFolder = programFolder + "x64\\";
        driverFolder = driverDirectory + "\\";
        driverFolder3 = driverFolder + "3\\";
        process.x64DriverFolder = driverFolder;
        process.x64DriverFolder3 = driverFolder3;
    } else {
        sourceFolder = programFolder + "x86\\";
        driverFolder = kX86DriverFolder;
        driverFolder3 = kX86DriverFolder3;
    }
    process.packageSourceFolder = sourceFolder;

    for (const PackageFile& file : kPackageFiles) {
        std::string name = file.NameFor(architecture);
        std::string source = sourceFolder + name;
        CopyReplacing(source, driverFolder + name);
        CopyReplacing(source, driverFolder3 + name);
        CopyReplacing(source, kKernelDriverFolder + name);
    }
    CopyUnidrvFiles();

    std::string setupInf = sourceFolder + kPackageFiles[0].NameFor(architecture);
    System().setupCopyOEMInf(setupInf.c_str(), setupInf.c_str(), SPOST_NONE,
                             SP_COPY_OEMINF_CATALOG_ONLY, nullptr, 0, nullptr, nullptr);
}

void CDriverPackageCopy::CopyUnidrvFiles() {
    const ProcessWide& process = Process();
    bool x64 = process.setup.is64BitWindows == 1;
    std::string driverFolder = x64 ? process.x64DriverFolder : kX86DriverFolder;
    std::string driverFolder3 = x64 ? process.x64DriverFolder3 : kX86DriverFolder3;
    for (const char* name : kUnidrvFiles) {
        std::string source = process.packageSourceFolder + name;
        CopyReplacing(source, driverFolder + name);
        CopyReplacing(source, driverFolder3 + name);
    }
}
