#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/KeyFilter.h"
#include "platform/UniqueHandle.h"

// The busy notice: a small captioned window with a setup picture and a message, shown
// around long work. The user cannot close it (no buttons, no system menu, Enter and
// Escape ignored); its owner hides and destroys it.
//
// The class also carries the copy of the driver package into the spooler's driver
// directories; the installation uses an object that never gets a window for that.
class CFileCopy : public CEscapeProofDialog {
public:
    enum class Architecture { x86, x64 };

    // Makes `message` the text of the next notice created. No window yet.
    explicit CFileCopy(const std::string& message, HWND parent = nullptr);
    ~CFileCopy() override;

    BOOL OnInitDialog() override;
    // Enter: the notice stays.
    void OnOK() override;

    // Copies the package for the running Windows (after osName and is64BitWindows are
    // set) with the wait cursor on. Reports nothing: a failed copy is left undone.
    void CopyDriverFiles();
    // Asks the spooler for its printer-driver directory into driverDirectory.
    BOOL QueryDriverDirectory();
    BOOL CopyFilesForWindows();
    void CopyPackageFiles(Architecture architecture);
    void CopyUnidrvFiles();

    CStatic messageControl;
    std::string driverDirectory;

protected:
    void DoDataExchange(CDataExchange* dx) override;

private:
    UniqueFont font_;
};
