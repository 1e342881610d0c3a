#pragma once

// What the tests of the real Setup.exe share: the program started beside its package and
// watched from outside, its windows found by title and answered like a user would answer
// them, and a fixture that takes away whatever an installation added to the prefix.
// The program's path comes from the test target's SETUP_EXE.

#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "platform/UniqueHandle.h"

namespace setup_exe_support {

inline constexpr char kMainTitle[] = "Quelor ZNT Series Printer Driver - Setup";

class RunningSetup {
public:
    RunningSetup();
    ~RunningSetup();
    RunningSetup(const RunningSetup&) = delete;
    RunningSetup& operator=(const RunningSetup&) = delete;

    bool started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }

    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD milliseconds = 15000) const;

private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

// A visible dialog-class window of `process` with this title, or nullptr.
HWND FindDialog(DWORD process, const std::string& title);
// The same, waited for up to 30 s; when `control` is not 0 the dialog must have it.
HWND WaitForDialog(DWORD process, const std::string& title, int control = 0);
// How many visible windows of `process` have a control `control`.
int CountDialogs(DWORD process, int control);

// A message box's text is its static control 0xFFFF.
std::string MessageBoxText(HWND box);
void Press(HWND dialog, int button);
// The text of a control of another process (the edit keeps its text to itself).
std::string ControlText(HWND dialog, int id);
void SetControlText(HWND dialog, int id, const std::string& text);
// As a user's click on a control.
void ClickControl(HWND dialog, int id);

std::string FileContents(const std::string& path);
// A file of the package beside Setup.exe, by its path there.
std::string PackageFile(const std::string& name);
std::string InfFolder();
// The INFs in the system's INF folder, where the OEM INF store keeps its copies (Windows
// names them oemN.inf; Wine keeps their own names).
std::set<std::string> StoredInfs();

struct PrinterRecord {
    std::string port, driver, processor, dataType;
};
bool FindPrinter(const std::string& name, PrinterRecord& record);
std::vector<std::string> DriverNames(const char* environment);
std::string DefaultPrinter();

std::string PrefixKind();

// One run of the real Setup.exe that installs, in a prefix that starts without printers.
// Whatever the run added to the spooler, the INF store, the Run key and the default
// printer goes again afterwards; a status monitor it started is closed.
class InstallationSequenceTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The stored INFs this run added whose text is that of `source`.
    int StoredCopiesOf(const std::string& source) const;

    // Starts Setup.exe's main dialog with this name and port kind and presses OK.
    HWND StartAndPressOk(RunningSetup& setup, const std::string& printerName, int portRadio);

    std::set<std::string> infsBefore_;
    std::vector<std::string> drivers_;

private:
    static void EndStatusMonitor();
};

}  // namespace setup_exe_support
