#pragma once

#include <windows.h>

#include <string>

// The copy of the driver package beside the program into the spooler's driver
// directories, and of its setup INF into the system's OEM INF store. No window.
class CDriverPackageCopy {
public:
    enum class Architecture { x86, x64 };

    virtual ~CDriverPackageCopy() = default;

    // Copies the package for the running Windows (after osName and is64BitWindows are
    // set) with the wait cursor on. Reports nothing: a failed copy is left undone.
    void CopyDriverFiles();
    // Asks the spooler for its printer-driver directory into driverDirectory.
    BOOL QueryDriverDirectory();
    BOOL CopyFilesForWindows();
    void CopyPackageFiles(Architecture architecture);
    void CopyUnidrvFiles();

    std::string driverDirectory;
};
