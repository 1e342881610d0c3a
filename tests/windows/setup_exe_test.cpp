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
#include <string>
#include <thread>
#include <vector>

#include "InstallFixtures.h"
#include "PrinterFixtures.h"
#include "SetupExeSupport.h"
#include "TestSupport.h"
#include "platform/UniqueHandle.h"
#include "resource.h"

using namespace setup_exe_support;
using namespace testing_support;

namespace {

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

constexpr char kUsbClassGuid[] = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
constexpr char kStatusMonitorTitle[] = "Quelor Status Monitor";

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
