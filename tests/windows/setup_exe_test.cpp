// The real Setup.exe, started the way a user starts it, watched from outside: its windows
// are found by title and answered like a user would answer them.
#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>
#include <setupapi.h>
#include <winspool.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "InstallFixtures.h"
#include "PrinterFixtures.h"
#include "TestSupport.h"
#include "platform/UniqueHandle.h"
#include "resource.h"

using namespace testing_support;

namespace {

constexpr char kMainTitle[] = "Quelor ZNT Series Printer Driver - Setup";

class RunningSetup {
public:
    RunningSetup() {
        std::string path = WinePath(SETUP_EXE);
        std::string folder = path.substr(0, path.find_last_of('\\'));
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (::CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                             folder.c_str(), &startup, &info)) {
            process_.reset(info.hProcess);
            ::CloseHandle(info.hThread);
            id_ = info.dwProcessId;
        }
    }
    ~RunningSetup() {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.get(), 99);
            ::WaitForSingleObject(process_.get(), 5000);
        }
    }

    bool started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }

    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD milliseconds = 15000) const {
        ::WaitForSingleObject(process_.get(), milliseconds);
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(process_.get(), &code);
        return code;
    }

private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

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

// A visible dialog-class window of `process` with this title.
HWND FindDialog(DWORD process, const std::string& title) {
    DialogSearch search{process, title, nullptr};
    ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A visible dialog-class window of `process` with this title and a control `control`.
HWND WaitForDialog(DWORD process, const std::string& title, int control = 0) {
    for (int i = 0; i < 600; ++i) {
        DialogSearch search{process, title, nullptr, control};
        ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return nullptr;
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

// How many visible windows of `process` have a control `control`.
int CountDialogs(DWORD process, int control) {
    DialogCount count{process, control, 0};
    ::EnumWindows(CountDialog, reinterpret_cast<LPARAM>(&count));
    return count.found;
}

// A message box's text is its static control 0xFFFF.
std::string MessageBoxText(HWND box) {
    return WindowText(::GetDlgItem(box, 0xFFFF));
}

void Press(HWND dialog, int button) {
    ::PostMessageA(dialog, WM_COMMAND, button, 0);
}

TEST(SetupExeTest, SecondCopyIsSentAwayWhileTheFirstShowsItsDialog) {
    RunningSetup first;
    ASSERT_TRUE(first.started());
    HWND main = WaitForDialog(first.id(), kMainTitle);
    ASSERT_NE(nullptr, main);

    RunningSetup second;
    ASSERT_TRUE(second.started());
    HWND box = WaitForDialog(second.id(), "Brevak Printer Driver - Setup");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("Another application is already running. Please terminate the previous application.",
              MessageBoxText(box));
    EXPECT_EQ(nullptr, FindDialog(second.id(), kMainTitle));
    Press(box, IDOK);
    EXPECT_EQ(0u, second.WaitForExit());

    // The first copy is untouched, and leaves only after it asked.
    EXPECT_TRUE(::IsWindowVisible(main));
    ::PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND question = WaitForDialog(first.id(), "ZNT Series Printer Driver - Setup");
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(
        "Setup is not complete. If you quit now, the program will not be installed.\n"
        "Exit Setup?",
        MessageBoxText(question));
    EXPECT_NE(nullptr, ::GetDlgItem(question, IDYES));
    EXPECT_NE(nullptr, ::GetDlgItem(question, IDNO));
    Press(question, IDNO);
    EXPECT_EQ(DWORD(STILL_ACTIVE), first.WaitForExit(500));
    EXPECT_TRUE(::IsWindowVisible(main));

    ::PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    question = WaitForDialog(first.id(), "ZNT Series Printer Driver - Setup");
    ASSERT_NE(nullptr, question);
    Press(question, IDYES);
    EXPECT_EQ(0u, first.WaitForExit());
}

TEST(SetupExeTest, IsA32BitGuiProgram) {
    UniqueFileHandle file(::CreateFileA(WinePath(SETUP_EXE).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    IMAGE_DOS_HEADER dos{};
    DWORD read = 0;
    ASSERT_TRUE(::ReadFile(file.get(), &dos, sizeof dos, &read, nullptr));
    ::SetFilePointer(file.get(), dos.e_lfanew, nullptr, FILE_BEGIN);
    IMAGE_NT_HEADERS32 nt{};
    ASSERT_TRUE(::ReadFile(file.get(), &nt, sizeof nt, &read, nullptr));
    EXPECT_EQ(DWORD(IMAGE_NT_SIGNATURE), nt.Signature);
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, nt.FileHeader.Machine);
    EXPECT_EQ(IMAGE_NT_OPTIONAL_HDR32_MAGIC, nt.OptionalHeader.Magic);
    EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, nt.OptionalHeader.Subsystem);
}

// --- The installation sequence -----------------------------------------------------

std::string PrefixKind() {
    const char* prefix = std::getenv("SETUP_WINE_PREFIX");
    return prefix ? prefix : "";
}

// The text of a control of another process (the edit keeps its text to itself).
std::string ControlText(HWND dialog, int id) {
    char text[1024] = {};
    ::SendMessageA(::GetDlgItem(dialog, id), WM_GETTEXT, sizeof text,
                   reinterpret_cast<LPARAM>(text));
    return text;
}

void SetControlText(HWND dialog, int id, const std::string& text) {
    ::SendMessageA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// As a user's click on a control.
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

// The INFs in the system's INF folder, where the OEM INF store keeps its copies (Windows
// names them oemN.inf; Wine keeps their own names).
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

struct PrinterRecord {
    std::string port, driver, processor, dataType;
};

bool FindPrinter(const std::string& name, PrinterRecord& record) {
    DWORD needed = 0, count = 0;
    ::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    if (!::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) {
        return false;
    }
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
    DWORD needed = 0, count = 0;
    ::EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 1, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed ? needed : 1);
    std::vector<std::string> names;
    if (!::EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 1, buffer.data(), needed,
                               &needed, &count)) {
        return names;
    }
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) names.emplace_back(drivers[i].pName);
    return names;
}

std::string DefaultPrinter() {
    char name[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return ::GetDefaultPrinterA(name, &size) ? name : "";
}

constexpr char kUsbClassGuid[] = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
constexpr char kDefaultPrinterKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kStatusMonitorTitle[] = "Quelor Status Monitor";

// One run of the real Setup.exe that installs, in a prefix that starts without printers.
// Whatever the run added to the spooler, the INF store, the Run key and the default
// printer goes again afterwards; a status monitor it started is closed.
class InstallationSequenceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ListedPrinters().empty()) << "the prefix must start without printers";
        infsBefore_ = StoredInfs();
    }

    void TearDown() override {
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

    // A run that deployed the status monitor also started it, through the shell and
    // without waiting: its window may come a moment later.
    static void EndStatusMonitor() {
        HKEY key = nullptr;
        bool deployed = false;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &key) ==
            ERROR_SUCCESS) {
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

    // The stored INFs this run added whose text is that of `source`.
    int StoredCopiesOf(const std::string& source) const {
        std::string wanted = FileContents(source);
        int copies = 0;
        for (const std::string& inf : StoredInfs()) {
            if (!infsBefore_.count(inf) && FileContents(InfFolder() + inf) == wanted) ++copies;
        }
        return copies;
    }

    // Starts Setup.exe and presses OK in its main dialog with this name and port kind.
    HWND StartAndPressOk(RunningSetup& setup, const std::string& printerName, int portRadio) {
        drivers_.push_back(printerName);
        HWND main = WaitForDialog(setup.id(), kMainTitle);
        if (!main) return nullptr;
        SetControlText(main, IDC_PRINTER_NAME, printerName);
        ClickControl(main, portRadio);
        ClickControl(main, IDOK);
        return main;
    }

    std::set<std::string> infsBefore_;
    std::vector<std::string> drivers_;
};

// Tells the arrival dialog that the device arrived, as Windows does; Wine hands the whole
// broadcast to the other process.
void DeliverArrival(HWND arrival, const ScopedUsbPrinter& device) {
    std::string name = device.BroadcastName();
    std::vector<BYTE> bytes(offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + name.size() + 1);
    auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(bytes.data());
    broadcast->dbcc_size = static_cast<DWORD>(bytes.size());
    broadcast->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    memcpy(broadcast->dbcc_name, name.c_str(), name.size() + 1);
    DWORD_PTR answer = 0;
    EXPECT_NE(0, ::SendMessageTimeoutA(arrival, WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                                       reinterpret_cast<LPARAM>(bytes.data()), SMTO_NORMAL, 60000,
                                       &answer));
}

constexpr char kConnectPrompt[] =
    "Please connect and power ON the printer.\n\nThis will search and configure USB Port.";

TEST_F(InstallationSequenceTest, LptInstallsThePrinterOnLpt1AsTheDefault) {
    if (PrefixKind() != "win32") GTEST_SKIP() << "printers are added for real in a 32-bit prefix";
    RunningSetup setup;
    ASSERT_TRUE(setup.started());
    ASSERT_NE(nullptr, StartAndPressOk(setup, "Counter 1", IDC_PORT_LPT));

    HWND ports = WaitForDialog(setup.id(), kMainTitle, IDC_PORT_LIST);
    ASSERT_NE(nullptr, ports);
    EXPECT_EQ("LPT1: (Local Port)", ControlText(ports, IDC_CURRENT_PORT));
    ClickControl(ports, IDC_PORT_SELECT_OK);
    EXPECT_EQ(0u, setup.WaitForExit(60000));

    PrinterRecord printer;
    ASSERT_TRUE(FindPrinter("Counter 1", printer));
    EXPECT_EQ("LPT1:", printer.port);
    EXPECT_EQ("Counter 1", printer.driver);
    EXPECT_EQ("winprint", printer.processor);
    EXPECT_EQ("RAW", printer.dataType);
    EXPECT_EQ("Counter 1", DefaultPrinter());
    // The setup INF by its bare name, from the current directory: the program's folder.
    EXPECT_EQ(1, StoredCopiesOf(PackageFile("2Ksetup.inf")));
}

TEST_F(InstallationSequenceTest, UsbWithThePrinterAttachedInstallsOnItsComPort) {
    if (PrefixKind() != "win32") GTEST_SKIP() << "printers are added for real in a 32-bit prefix";
    ScopedUsbPrinter device(std::string("##?#USB#VID_1CBE&PID_0002#E2E01#") + kUsbClassGuid,
                            "COM5");
    ASSERT_TRUE(device.ok());
    RunningSetup setup;
    ASSERT_TRUE(setup.started());
    ASSERT_NE(nullptr, StartAndPressOk(setup, "USB Counter", IDC_PORT_USB));
    EXPECT_EQ(0u, setup.WaitForExit(60000));

    PrinterRecord printer;
    ASSERT_TRUE(FindPrinter("USB Counter", printer));
    EXPECT_EQ("COM5:", printer.port);
    // The setup INF beside the virtual COM INF. Wine stores the virtual COM INF itself too,
    // though only its catalog is asked for (Windows copies the catalog alone): that shows
    // which one was given.
    EXPECT_EQ(1, StoredCopiesOf(PackageFile("x86\\2Ksetup.inf")));
    EXPECT_EQ(1, StoredCopiesOf(PackageFile("x86\\ousb_dev_serial_x86.inf")));
}

TEST_F(InstallationSequenceTest, UsbWaitsForThePrinterToArriveThenInstallsOnItsPort) {
    if (PrefixKind() != "win32") GTEST_SKIP() << "printers are added for real in a 32-bit prefix";
    RunningSetup setup;
    ASSERT_TRUE(setup.started());
    ASSERT_NE(nullptr, StartAndPressOk(setup, "USB Arrival", IDC_PORT_USB));
    HWND arrival = WaitForDialog(setup.id(), "", IDC_ARRIVAL_PROMPT);
    ASSERT_NE(nullptr, arrival);
    EXPECT_EQ(kConnectPrompt, ControlText(arrival, IDC_ARRIVAL_PROMPT));
    // The main dialog stays enabled meanwhile; OK there again starts nothing new.
    // The busy notice has the same title.
    HWND main = WaitForDialog(setup.id(), kMainTitle, IDC_PRINTER_NAME);
    ASSERT_NE(nullptr, main);
    EXPECT_TRUE(::IsWindowEnabled(main));
    Press(main, IDOK);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(1, CountDialogs(setup.id(), IDC_ARRIVAL_PROMPT));
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("setup-exe-arrival-dialog.bmp")));

    // The user plugs the printer in: Windows registers its interface, gives it a COM port
    // and tells the dialog.
    ScopedUsbPrinter device(std::string("##?#USB#VID_1CBE&PID_0002#E2E02#") + kUsbClassGuid,
                            "COM6");
    ASSERT_TRUE(device.ok());
    DeliverArrival(arrival, device);
    EXPECT_EQ(0u, setup.WaitForExit(60000));

    PrinterRecord printer;
    ASSERT_TRUE(FindPrinter("USB Arrival", printer));
    EXPECT_EQ("COM6:", printer.port);
    // The arrival deployed the status monitor, which runs now.
    HWND monitor = nullptr;
    for (int i = 0; i < 100 && !monitor; ++i) {
        monitor = ::FindWindowA(nullptr, kStatusMonitorTitle);
        if (!monitor) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_NE(nullptr, monitor);
}

TEST_F(InstallationSequenceTest, YesToTheArrivalDialogsQuestionEndsSetupWithCodeOne) {
    RunningSetup setup;
    ASSERT_TRUE(setup.started());
    ASSERT_NE(nullptr, StartAndPressOk(setup, "USB Never", IDC_PORT_USB));
    HWND arrival = WaitForDialog(setup.id(), "", IDC_ARRIVAL_PROMPT);
    ASSERT_NE(nullptr, arrival);
    ::PostMessageA(arrival, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND question = WaitForDialog(setup.id(), "ZNT Series Printer Driver - Setup");
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(
        "Setup is not complete. If you quit now, the program will not be installed.\n"
        "Exit Setup?",
        MessageBoxText(question));
    Press(question, IDYES);
    EXPECT_EQ(1u, setup.WaitForExit());
    EXPECT_TRUE(ListedPrinters().empty());
    std::vector<std::string> drivers = DriverNames(nullptr);
    EXPECT_EQ(drivers.end(), std::find(drivers.begin(), drivers.end(), "USB Never"));
}

TEST_F(InstallationSequenceTest, EmptyNameIsRefusedAfterThePackageIsCopiedEachTime) {
    if (PrefixKind() != "win32") GTEST_SKIP() << "the fixed 32-bit driver folder";
    const std::string copied = "C:\\windows\\system32\\spool\\drivers\\w32x86\\Z410.GPD";
    RunningSetup setup;
    ASSERT_TRUE(setup.started());
    HWND main = WaitForDialog(setup.id(), kMainTitle);
    ASSERT_NE(nullptr, main);
    SetControlText(main, IDC_PRINTER_NAME, "");
    ClickControl(main, IDC_PORT_LPT);
    for (int press = 0; press < 2; ++press) {
        SCOPED_TRACE(press);
        ::DeleteFileA(copied.c_str());
        ClickControl(main, IDOK);
        // The application message box is captioned with the program's name.
        HWND box = WaitForDialog(setup.id(), "Setup");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ("Enter printer name", MessageBoxText(box));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(copied.c_str()));
        Press(box, IDOK);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_TRUE(::IsWindowVisible(main));
        EXPECT_EQ(nullptr, FindDialog(setup.id(), "Setup"));
    }
    ::PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    HWND question = WaitForDialog(setup.id(), "ZNT Series Printer Driver - Setup");
    ASSERT_NE(nullptr, question);
    Press(question, IDYES);
    EXPECT_EQ(0u, setup.WaitForExit());
    EXPECT_TRUE(ListedPrinters().empty());
}

// The USB path on 64-bit Windows: the x64 virtual COM INF's folder gives the setup INF
// ("2Ksetupx64.inf"), and the driver is registered for "Windows x64". Wine's spooler looks
// the driver of a new printer up in the caller's environment and refuses the 32-bit
// program's add there (AddPrinterW's 1797, which AddPrinterA passes on as 87, so no
// message), where Windows' spooler adds the printer: this run ends without one.
TEST_F(InstallationSequenceTest, On64BitWindowsTheX64PackageAndDriverAreUsed) {
    if (PrefixKind() != "win64") GTEST_SKIP() << "64-bit Windows only";
    RunningSetup setup;
    ASSERT_TRUE(setup.started());
    ASSERT_NE(nullptr, StartAndPressOk(setup, "X64 Counter", IDC_PORT_USB));
    HWND arrival = WaitForDialog(setup.id(), "", IDC_ARRIVAL_PROMPT);
    ASSERT_NE(nullptr, arrival);
    ScopedUsbPrinter device(std::string("##?#USB#VID_1CBE&PID_0002#E2E03#") + kUsbClassGuid,
                            "COM7");
    ASSERT_TRUE(device.ok());
    DeliverArrival(arrival, device);
    EXPECT_EQ(0u, setup.WaitForExit(60000));

    EXPECT_EQ(1, StoredCopiesOf(PackageFile("x64\\2Ksetupx64.INF")));
    EXPECT_EQ(1, StoredCopiesOf(PackageFile("x64\\ousb_dev_serial_x64.inf")));
    EXPECT_EQ(0, StoredCopiesOf(PackageFile("x86\\2Ksetup.inf")));
    std::vector<std::string> x64Drivers = DriverNames("Windows x64");
    EXPECT_NE(x64Drivers.end(), std::find(x64Drivers.begin(), x64Drivers.end(), "X64 Counter"));
    EXPECT_TRUE(ListedPrinters().empty());
    EXPECT_EQ(nullptr, FindDialog(setup.id(), "ZNT Series Printer Driver - Setup"));
}

}  // namespace
