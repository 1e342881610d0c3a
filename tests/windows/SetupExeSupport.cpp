#include "SetupExeSupport.h"

#include <winspool.h>
#include <setupapi.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "PrinterFixtures.h"
#include "TestSupport.h"
#include "resource.h"

namespace setup_exe_support {

using testing_support::ListedPrinters;
using testing_support::WindowText;
using testing_support::WinePath;

RunningSetup::RunningSetup() {
    std::string path = WinePath(SETUP_EXE);
    std::string folder = path.substr(0, path.find_last_of('\\'));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (::CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                         &startup, &info)) {
        process_.reset(info.hProcess);
        ::CloseHandle(info.hThread);
        id_ = info.dwProcessId;
    }
}

RunningSetup::~RunningSetup() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 99);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

DWORD RunningSetup::WaitForExit(DWORD milliseconds) const {
    ::WaitForSingleObject(process_.get(), milliseconds);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

namespace {

struct DialogSearch {
    DWORD process;
    std::string title;
    HWND found;
    int control = 0;  // when not 0, the dialog must have a control of this ID
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<DialogSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char className[64] = {};
    ::GetClassNameA(hwnd, className, sizeof className);
    if (owner == search->process && std::string(className) == "#32770" && ::IsWindowVisible(hwnd) &&
        WindowText(hwnd) == search->title &&
        (search->control == 0 || ::GetDlgItem(hwnd, search->control))) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct DialogCount {
    DWORD process;
    int control;
    int found;
};

BOOL CALLBACK CountDialog(HWND hwnd, LPARAM lParam) {
    auto* count = reinterpret_cast<DialogCount*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == count->process && ::IsWindowVisible(hwnd) && ::GetDlgItem(hwnd, count->control)) {
        ++count->found;
    }
    return TRUE;
}

constexpr char kDefaultPrinterKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kStatusMonitorTitle[] = "Quelor Status Monitor";

}  // namespace

HWND FindDialog(DWORD process, const std::string& title) {
    DialogSearch search{process, title, nullptr};
    ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialog(DWORD process, const std::string& title, int control) {
    for (int i = 0; i < 600; ++i) {
        DialogSearch search{process, title, nullptr, control};
        ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
}

int CountDialogs(DWORD process, int control) {
    DialogCount count{process, control, 0};
    ::EnumWindows(CountDialog, reinterpret_cast<LPARAM>(&count));
    return count.found;
}

std::string MessageBoxText(HWND box) {
    return WindowText(::GetDlgItem(box, 0xFFFF));
}

void Press(HWND dialog, int button) {
    ::PostMessageA(dialog, WM_COMMAND, button, 0);
}

std::string ControlText(HWND dialog, int id) {
    char text[1024] = {};
    ::SendMessageA(::GetDlgItem(dialog, id), WM_GETTEXT, sizeof text,
                   reinterpret_cast<LPARAM>(text));
    return text;
}

void SetControlText(HWND dialog, int id, const std::string& text) {
    ::SendMessageA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ClickControl(HWND dialog, int id) {
    ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::string FileContents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string PackageFile(const std::string& name) {
    std::string exe = WinePath(SETUP_EXE);
    return exe.substr(0, exe.find_last_of('\\') + 1) + name;
}

std::string InfFolder() {
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\inf\\";
}

std::set<std::string> StoredInfs() {
    std::set<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((InfFolder() + "*.inf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        names.insert(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return names;
}

bool FindPrinter(const std::string& name, PrinterRecord& record) {
    DWORD count = 0;
    std::vector<BYTE> buffer =
        testing_support::FetchSpoolerData([&](BYTE* data, DWORD size, DWORD* needed) {
            return ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, data, size, needed, &count);
        });
    if (buffer.empty()) return false;
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) {
        if (name != printers[i].pPrinterName) continue;
        auto text = [](const char* t) { return std::string(t ? t : ""); };
        record = {text(printers[i].pPortName), text(printers[i].pDriverName),
                  text(printers[i].pPrintProcessor), text(printers[i].pDatatype)};
        return true;
    }
    return false;
}

std::vector<std::string> DriverNames(const char* environment) {
    DWORD count = 0;
    std::vector<BYTE> buffer =
        testing_support::FetchSpoolerData([&](BYTE* data, DWORD size, DWORD* needed) {
            return ::EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 1, data, size,
                                         needed, &count);
        });
    std::vector<std::string> names;
    if (buffer.empty()) return names;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) names.emplace_back(drivers[i].pName);
    return names;
}

std::string DefaultPrinter() {
    char name[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return ::GetDefaultPrinterA(name, &size) ? name : "";
}

std::string PrefixKind() {
    const char* prefix = std::getenv("SETUP_WINE_PREFIX");
    return prefix ? prefix : "";
}

void InstallationSequenceTest::SetUp() {
    ASSERT_TRUE(ListedPrinters().empty()) << "the prefix must start without printers";
    infsBefore_ = StoredInfs();
}

void InstallationSequenceTest::TearDown() {
    EndStatusMonitor();
    for (const std::string& name : ListedPrinters()) {
        PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
        HANDLE handle = nullptr;
        if (::OpenPrinterA(const_cast<char*>(name.c_str()), &handle, &defaults)) {
            ::DeletePrinter(handle);
            ::ClosePrinter(handle);
        }
    }
    for (const std::string& driver : drivers_) {
        ::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(driver.c_str()));
        ::DeletePrinterDriverA(nullptr, const_cast<char*>("Windows x64"),
                               const_cast<char*>(driver.c_str()));
    }
    for (const std::string& inf : StoredInfs()) {
        if (infsBefore_.count(inf)) continue;
        ::SetupUninstallOEMInfA(inf.c_str(), SUOI_FORCEDELETE, nullptr);
        std::string path = InfFolder() + inf;
        ::DeleteFileA(path.c_str());
        ::DeleteFileA((path.substr(0, path.size() - 4) + ".pnf").c_str());
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueA(key, "ZNTVersion - 1.01.011");
        ::RegCloseKey(key);
    }
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kDefaultPrinterKey, 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        ::RegDeleteValueA(key, "Device");
        ::RegCloseKey(key);
    }
}

// A run that deployed the status monitor also started it, through the shell and without
// waiting: its window may come a moment later.
void InstallationSequenceTest::EndStatusMonitor() {
    HKEY key = nullptr;
    bool deployed = false;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        deployed = ::RegQueryValueExA(key, "ZNTVersion - 1.01.011", nullptr, nullptr, nullptr,
                                      nullptr) == ERROR_SUCCESS;
        ::RegCloseKey(key);
    }
    if (!deployed) return;
    HWND monitor = nullptr;
    for (int i = 0; i < 100 && !monitor; ++i) {
        monitor = ::FindWindowA(nullptr, kStatusMonitorTitle);
        if (!monitor) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!monitor) return;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(monitor, &processId);
    UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    ::PostMessageA(monitor, WM_CLOSE, 0, 0);
    if (process) ::WaitForSingleObject(process.get(), 5000);

    char directory[MAX_PATH] = {};
    DWORD needed = 0;
    if (::GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                     sizeof directory, &needed)) {
        std::string folder = std::string(directory) + "\\STM\\";
        ::DeleteFileA((folder + "Version - 1.01.011.exe").c_str());
        folder.pop_back();
        ::RemoveDirectoryA(folder.c_str());
    }
}

int InstallationSequenceTest::StoredCopiesOf(const std::string& source) const {
    std::string wanted = FileContents(source);
    int copies = 0;
    for (const std::string& inf : StoredInfs()) {
        if (!infsBefore_.count(inf) && FileContents(InfFolder() + inf) == wanted) ++copies;
    }
    return copies;
}

HWND InstallationSequenceTest::StartAndPressOk(RunningSetup& setup, const std::string& printerName,
                                               int portRadio) {
    drivers_.push_back(printerName);
    HWND main = WaitForDialog(setup.id(), kMainTitle);
    if (!main) return nullptr;
    SetControlText(main, IDC_PRINTER_NAME, printerName);
    ClickControl(main, portRadio);
    ClickControl(main, IDOK);
    return main;
}

}  // namespace setup_exe_support
