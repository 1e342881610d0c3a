// One installation against Wine's real spooler, setup library, shell and registry: the
// driver and printer read back from the spooler, the default printer, the local port
// monitor, the setup INF and the status monitor. The seam stands in only for answers
// Wine's spooler never gives (1796, 1797, 1802, a failing driver registration).
#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "PrinterFixtures.h"
#include "TestSupport.h"
#include "app/HostProbe.h"
#include "framework/WinApp.h"
#include "install/FileCopy.h"
#include "install/Installer.h"
#include "platform/ProgramFolder.h"
#include "platform/UniqueHandle.h"
#include "state/ProcessWide.h"

using namespace testing_support;

namespace {

constexpr char kPrinter[] = "Quelor Counter 1";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "ZNTVersion - 1.01.011";
constexpr char kMonitorClass[] = "QuelorStatusMonitor";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(::tolower(c)); });
    return text;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return Lower(slash == std::string::npos ? path : path.substr(slash + 1));
}

struct DriverRecord {
    DWORD version;
    std::string name, environment, driverFile, dataFile, configFile, helpFile;
    std::vector<std::string> dependentFiles;
    FILETIME date;
    DWORDLONG driverVersion;
    std::string manufacturer, hardwareId, provider;
};

std::string Text(const char* text) {
    return text ? text : "";
}

DriverRecord ToRecord(const DRIVER_INFO_6A& d) {
    DriverRecord record{d.cVersion,
                        Text(d.pName),
                        Text(d.pEnvironment),
                        BaseName(Text(d.pDriverPath)),
                        BaseName(Text(d.pDataFile)),
                        BaseName(Text(d.pConfigFile)),
                        BaseName(Text(d.pHelpFile)),
                        {},
                        d.ftDriverDate,
                        d.dwlDriverVersion,
                        Text(d.pszMfgName),
                        Text(d.pszHardwareID),
                        Text(d.pszProvider)};
    for (const char* file = d.pDependentFiles; file && *file; file += strlen(file) + 1) {
        record.dependentFiles.push_back(BaseName(file));
    }
    return record;
}

std::optional<DriverRecord> ReadDriver(const std::string& name, const char* environment) {
    DWORD returned = 0;
    std::vector<BYTE> buffer = FetchSpoolerData([&](BYTE* data, DWORD size, DWORD* needed) {
        return ::EnumPrinterDriversA(nullptr, const_cast<char*>(environment), 6, data, size, needed,
                                     &returned);
    });
    if (buffer.empty()) return std::nullopt;
    const auto* drivers = reinterpret_cast<const DRIVER_INFO_6A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        if (Text(drivers[i].pName) == name) return ToRecord(drivers[i]);
    }
    return std::nullopt;
}

struct PrinterRecord {
    std::string share, port, driver, printProcessor, dataType;
    DWORD attributes, priority;
};

std::optional<PrinterRecord> ReadPrinter(const std::string& name) {
    UniquePrinter printer;
    if (!::OpenPrinterA(const_cast<char*>(name.c_str()), printer.out(), nullptr)) {
        return std::nullopt;
    }
    std::vector<BYTE> buffer = FetchSpoolerData([&](BYTE* data, DWORD size, DWORD* needed) {
        return ::GetPrinterA(printer.get(), 2, data, size, needed);
    });
    if (buffer.empty()) return std::nullopt;
    const auto* p = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    return PrinterRecord{
        Text(p->pShareName), Text(p->pPortName), Text(p->pDriverName), Text(p->pPrintProcessor),
        Text(p->pDatatype),  p->Attributes,      p->Priority};
}

std::string DefaultPrinter() {
    char name[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!::GetDefaultPrinterA(name, &size)) return "";
    return name;
}

bool PortListed(const std::string& port) {
    std::vector<SpoolerPort> ports = ListSpoolerPorts();
    return std::any_of(ports.begin(), ports.end(),
                       [&](const SpoolerPort& listed) { return listed.name == port; });
}

void DeleteLocalPort(const std::wstring& port) {
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
    UniquePrinter channel;
    if (!::OpenPrinterA(const_cast<char*>(",XcvMonitor Local Port"), channel.out(), &defaults)) {
        return;
    }
    DWORD needed = 0, status = 0;
    ::XcvDataW(
        channel.get(), L"DeletePort", reinterpret_cast<BYTE*>(const_cast<wchar_t*>(port.c_str())),
        static_cast<DWORD>((port.size() + 1) * sizeof(wchar_t)), nullptr, 0, &needed, &status);
}

void DeletePrinterNamed(const std::string& name) {
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    UniquePrinter printer;
    if (::OpenPrinterA(const_cast<char*>(name.c_str()), printer.out(), &defaults)) {
        ::DeletePrinter(printer.get());
    }
}

std::optional<std::string> RunValue() {
    char data[MAX_PATH * 2] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, RRF_RT_ANY, &type, data, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return std::string(data);
}

HWND StatusMonitorWindow() {
    return ::FindWindowA(kMonitorClass, nullptr);
}

// Ends every running stand-in status monitor by closing its window, as a user would.
void EndStatusMonitors() {
    for (HWND window; (window = StatusMonitorWindow()) != nullptr;) {
        DWORD id = 0;
        ::GetWindowThreadProcessId(window, &id);
        UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, id));
        ::PostMessageA(window, WM_CLOSE, 0, 0);
        if (!process || ::WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0) break;
    }
}

bool WaitForStatusMonitor() {
    for (int i = 0; i < 200; ++i) {
        if (StatusMonitorWindow()) return true;
        ::Sleep(50);
    }
    return false;
}

// The answer Wine's spooler never gives, for the first `times` add attempts; the real
// spooler after that.
std::function<HANDLE(LPSTR, DWORD, LPBYTE)> FailingAdds(DWORD error, int times, int& calls,
                                                        std::vector<std::string>* names = nullptr) {
    auto real = SystemCalls::Real().addPrinter;
    return [=, &calls](LPSTR server, DWORD level, LPBYTE info) -> HANDLE {
        ++calls;
        if (names) names->push_back(reinterpret_cast<PRINTER_INFO_2A*>(info)->pPrinterName);
        if (times < 0 || calls <= times) {
            ::SetLastError(error);
            return nullptr;
        }
        return real(server, level, info);
    };
}

class InstallerTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessWide();
        x64_ = IsWow64Windows() == 1;
        SetupState& setup = Process().setup;
        setup.is64BitWindows = x64_ ? 1 : 0;
        setup.osName = "Windows7";
        setup.printerName = kPrinter;
        setup.makeDefault = 1;
        setup.installedPrinterCount = 1;
        ::GetCurrentDirectoryA(MAX_PATH, previousDirectory_);
        // The status monitor is taken from STM beside the program, as when a user starts
        // Setup.exe from its own folder.
        ::SetCurrentDirectoryA(ProgramFolder().c_str());
        previousDefault_ = DefaultPrinter();
        CFileCopy("").CopyDriverFiles();
        driverDirectory_ = SpoolerDriverDirectory();
        stmFolder_ = driverDirectory_ + "\\STM\\";
        monitorCopy_ = stmFolder_ + "Version - 1.01.011.exe";
        Clean();
    }

    void TearDown() override {
        Clean();
        RemovePackageCopies();
        for (const std::string& port : ports_) {
            DeleteLocalPort(std::wstring(port.begin(), port.end()));
        }
        if (!previousDefault_.empty()) ::SetDefaultPrinterA(previousDefault_.c_str());
        ::SetCurrentDirectoryA(previousDirectory_);
    }

    // Everything an installation may have left: printers, their driver, the status
    // monitor with its Run value, the setup INFs stored.
    void Clean() {
        EndStatusMonitors();
        for (const char* name : {kPrinter, "Quelor Counter 1 (Copy 1)", "Quelor Counter 1 (Copy 2)",
                                 "Version - 1.01.007", "Version - 1.01.007 (Copy 1)"}) {
            DeletePrinterNamed(name);
        }
        for (const std::string& name : extraPrinters_) DeletePrinterNamed(name);
        std::vector<std::string> drivers = extraPrinters_;
        drivers.insert(drivers.end(), {kPrinter, "Version - 1.01.007"});
        for (const std::string& name : drivers) {
            ::DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(name.c_str()));
            ::DeletePrinterDriverA(nullptr, const_cast<char*>("Windows x64"),
                                   const_cast<char*>(name.c_str()));
        }
        ::DeleteFileA(monitorCopy_.c_str());
        ::RemoveDirectoryA(stmFolder_.c_str());
        UniqueRegKey run;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, run.out()) ==
            ERROR_SUCCESS) {
            ::RegDeleteValueA(run.get(), kRunValue);
        }
        RemoveStoredSetupInfs();
        for (const std::string& stored : storedInfs_) {
            ::SetupUninstallOEMInfA(BaseName(stored).c_str(), SUOI_FORCEDELETE, nullptr);
        }
        storedInfs_.clear();
    }

    // The driver files the package copy placed in the spooler's folders and the kernel
    // driver folder.
    void RemovePackageCopies() {
        std::string driverFolder =
            x64_ ? driverDirectory_ + "\\" : "C:\\Windows\\System32\\spool\\drivers\\w32x86\\";
        for (const std::string& folder : {driverFolder, driverFolder + "3\\",
                                          std::string("C:\\Windows\\System32\\drivers\\")}) {
            for (const char* name :
                 {"2Ksetup.inf", "2Ksetupx64.INF", "GOEMUNI.dll", "GOEMUNI.ini", "Z410.GPD",
                  "Z613.DLL", "STDNAMES.GPD", "TTFSUB.GPD", "Unidrv.dll", "unidrv.hlp",
                  "Unidrvui.dll", "Unires.dll", "STDDTYPE.GDL", "STDSCHEM.GDL", "STDSCHMX.GDL"}) {
                ::DeleteFileA((folder + name).c_str());
            }
        }
    }

    // The package copy files the setup INF under its own name in Wine's INF folder, and
    // earlier runs may have left store copies: either would make the store answer
    // ERROR_FILE_EXISTS at once.
    void RemoveStoredSetupInfs() {
        char windows[MAX_PATH] = {};
        ::GetWindowsDirectoryA(windows, MAX_PATH);
        std::string infFolder = std::string(windows) + "\\inf\\";
        std::vector<std::string> sources;
        for (const char* inf : {"x86\\2Ksetup.inf", "x64\\2Ksetupx64.INF"}) {
            sources.push_back(ReadFile(ProgramFolder() + inf));
        }
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((infFolder + "oem*.inf").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string content = ReadFile(infFolder + found.cFileName);
                if (std::find(sources.begin(), sources.end(), content) != sources.end()) {
                    ::SetupUninstallOEMInfA(found.cFileName, SUOI_FORCEDELETE, nullptr);
                }
            } while (::FindNextFileA(search, &found));
            ::FindClose(search);
        }
        for (const char* name :
             {"2Ksetup.inf", "2Ksetup.pnf", "2Ksetupx64.INF", "2Ksetupx64.pnf"}) {
            ::DeleteFileA((infFolder + name).c_str());
        }
    }

    void Forget(const CInstaller& installer) {
        if (!installer.oemInfName.empty()) storedInfs_.push_back(installer.oemInfName);
    }

    CWinApp app_;
    bool x64_ = false;
    char previousDirectory_[MAX_PATH] = {};
    std::string previousDefault_;
    std::string driverDirectory_;
    std::string stmFolder_;
    std::string monitorCopy_;
    std::vector<std::string> ports_;
    std::vector<std::string> extraPrinters_;
    std::vector<std::string> storedInfs_;
};

TEST_F(InstallerTest, RegistersTheDriverAndAddsThePrinterOnItsPort) {
    SystemCallsOverride restore;
    std::vector<DriverRecord> handed;
    DWORD handedFlags = 0;
    bool waitCursorOn = false;
    auto real = SystemCalls::Real().addPrinterDriverEx;
    System().addPrinterDriverEx = [&](LPSTR server, DWORD level, LPBYTE info, DWORD flags) {
        EXPECT_EQ(nullptr, server);
        EXPECT_EQ(6u, level);
        handed.push_back(ToRecord(*reinterpret_cast<const DRIVER_INFO_6A*>(info)));
        handedFlags = flags;
        waitCursorOn = app_.IsWaitCursorOn();
        return real(server, level, info, flags);
    };
    MessageBoxScript boxes;
    CInstaller installer;
    EXPECT_FALSE(installer.driverDirectory.has_value());
    installer.printerPort = "LPT1:";
    installer.InstallPrinter();
    Forget(installer);

    EXPECT_EQ(driverDirectory_, installer.driverDirectory.value_or("<absent>"));
    EXPECT_EQ(kPrinter, installer.addedPrinterName);
    std::optional<DriverRecord> driver = ReadDriver(kPrinter, nullptr);
    ASSERT_TRUE(driver);
    EXPECT_EQ(3u, driver->version);
    EXPECT_EQ("Windows NT x86", driver->environment);
    EXPECT_EQ("unidrv.dll", driver->driverFile);
    EXPECT_EQ("z410.gpd", driver->dataFile);
    EXPECT_EQ("unidrvui.dll", driver->configFile);
    EXPECT_EQ("unidrv.hlp", driver->helpFile);
    EXPECT_EQ((std::vector<std::string>{"z613.dll", "goemuni.ini", "goemuni.dll", "unidrvui.dll",
                                        "unidrv.dll", "unidrv.hlp", "unires.dll", "stdnames.gpd"}),
              driver->dependentFiles);
    // Wine 8.0 keeps only the level-3 part of a driver record (its level-6 read-back
    // gives no date, version, manufacturer, hardware ID or provider): those are checked in
    // the record as the spooler received it.
    ASSERT_EQ(1u, handed.size());
    EXPECT_EQ(0x01C9ED4Cu, handed[0].date.dwHighDateTime);
    EXPECT_EQ(0x39D00000u, handed[0].date.dwLowDateTime);
    EXPECT_EQ((DWORDLONG{0x00050000} << 32) | 6, handed[0].driverVersion);
    EXPECT_EQ("ZNT-Series", handed[0].manufacturer);
    EXPECT_EQ("USB\\VID_1CBE&PID_0002", handed[0].hardwareId);
    EXPECT_EQ("ZNT-Series", handed[0].provider);
    EXPECT_EQ(DWORD(APD_COPY_ALL_FILES), handedFlags);
    EXPECT_TRUE(waitCursorOn);
    EXPECT_FALSE(app_.IsWaitCursorOn());

    std::optional<PrinterRecord> printer = ReadPrinter(kPrinter);
    ASSERT_TRUE(printer);
    EXPECT_EQ(kPrinter, printer->share);
    EXPECT_EQ("LPT1:", printer->port);
    EXPECT_EQ(kPrinter, printer->driver);
    EXPECT_EQ("winprint", printer->printProcessor);
    EXPECT_EQ("RAW", printer->dataType);
    EXPECT_EQ(0x204u, printer->attributes);
    EXPECT_EQ(1u, printer->priority);
    EXPECT_EQ(kPrinter, DefaultPrinter());
    EXPECT_TRUE(boxes.shown().empty());
    // Not the monitored name: no status monitor.
    EXPECT_FALSE(Exists(monitorCopy_));
}

TEST_F(InstallerTest, DefaultPrinterIsTheNewOneUnlessTheUserKeptTheOldOne) {
    constexpr char kExisting[] = "Quelor Existing Default";
    ScopedPrinters existing({kExisting});
    ASSERT_TRUE(existing.ok());
    const struct {
        int makeDefault;
        int installedPrinterCount;
        const char* expectedDefault;
    } cases[] = {
        {1, 0, kPrinter},
        {1, 3, kPrinter},
        {0, 0, kPrinter},
        {0, 3, kExisting},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "makeDefault " << c.makeDefault << ", printers before "
                                        << c.installedPrinterCount);
        ASSERT_TRUE(::SetDefaultPrinterA(kExisting));
        Process().setup.makeDefault = c.makeDefault;
        Process().setup.installedPrinterCount = c.installedPrinterCount;
        CInstaller installer;
        installer.printerPort = "LPT1:";
        installer.InstallPrinter();
        Forget(installer);
        EXPECT_TRUE(ReadPrinter(kPrinter));
        EXPECT_EQ(c.expectedDefault, DefaultPrinter());
        Clean();
    }
}

TEST_F(InstallerTest, UnknownPortIsCreatedThroughTheLocalPortMonitorAndTheAddTriedOnceMore) {
    constexpr char kPort[] = "COM17:";
    ports_.push_back(kPort);
    ASSERT_FALSE(PortListed(kPort));
    SystemCallsOverride restore;
    int calls = 0;
    // Wine's spooler takes any port name; Windows' answers 1796 for one it does not know.
    System().addPrinter = FailingAdds(ERROR_UNKNOWN_PORT, 1, calls);
    MessageBoxScript boxes;
    CInstaller installer;
    installer.printerPort = kPort;
    installer.InstallPrinter();
    Forget(installer);
    EXPECT_EQ(2, calls);
    EXPECT_TRUE(PortListed(kPort));
    std::optional<PrinterRecord> printer = ReadPrinter(kPrinter);
    ASSERT_TRUE(printer);
    EXPECT_EQ(kPort, printer->port);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(InstallerTest, PortStillUnknownAfterCreatingItStopsTheInstallation) {
    const struct {
        const char* name;
        std::string port;
        int expectedAttempts;
        bool portCreated;
    } cases[] = {
        {"port created, still refused", "COM18:", 2, true},
        {"port name of 254 characters, the longest the monitor takes",
         "COM" + std::string(250, '8') + ":", 2, true},
        // The monitor takes 254 characters and a NUL: a longer name is never cut to fit.
        {"port name too long for the monitor", "COM" + std::string(260, '9') + ":", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ports_.push_back(c.port);
        SystemCallsOverride restore;
        int calls = 0;
        System().addPrinter = FailingAdds(ERROR_UNKNOWN_PORT, -1, calls);
        int infCalls = 0;
        System().setupCopyOEMInf = [&](PCSTR, PCSTR, DWORD, DWORD, PSTR, DWORD, PDWORD, PSTR*) {
            ++infCalls;
            return TRUE;
        };
        MessageBoxScript boxes;
        CInstaller installer;
        installer.printerPort = c.port;
        installer.InstallPrinter();
        EXPECT_EQ(c.expectedAttempts, calls);
        EXPECT_EQ(c.portCreated, PortListed(c.port));
        EXPECT_FALSE(ReadPrinter(kPrinter));
        EXPECT_EQ(0, infCalls);
        ASSERT_EQ(1u, boxes.shown().size());
        EXPECT_EQ("Unkown PORT. Installation failed!!", boxes.shown()[0].text);
        EXPECT_EQ("installer_test", boxes.shown()[0].caption);
        EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), boxes.shown()[0].type);
    }
}

TEST_F(InstallerTest, TakenNameGetsTheNextCopyNumberWithShareAndDriverUnchanged) {
    for (int taken = 1; taken <= 2; ++taken) {
        SCOPED_TRACE(taken);
        std::string expected = std::string(kPrinter) + " (Copy " + std::to_string(taken) + ")";
        SystemCallsOverride restore;
        int calls = 0;
        std::vector<std::string> names;
        // Wine's spooler overwrites a printer of the same name instead of answering 1802.
        System().addPrinter = FailingAdds(ERROR_PRINTER_ALREADY_EXISTS, taken, calls, &names);
        CInstaller installer;
        installer.printerPort = "LPT1:";
        installer.InstallPrinter();
        Forget(installer);
        EXPECT_EQ(expected, installer.addedPrinterName);
        EXPECT_EQ(expected, names.back());
        EXPECT_EQ(kPrinter, names.front());
        std::optional<PrinterRecord> printer = ReadPrinter(expected);
        ASSERT_TRUE(printer);
        EXPECT_EQ(kPrinter, printer->share);
        EXPECT_EQ(kPrinter, printer->driver);
        EXPECT_EQ(expected, DefaultPrinter());
        EXPECT_TRUE(ReadDriver(kPrinter, nullptr));
    }
}

TEST_F(InstallerTest, SpoolerThatCallsEveryNameTakenEndsTheCopyLoop) {
    const struct {
        std::string printerName;
        int expectedAttempts;
    } cases[] = {
        // 9999 copy names, then the loop gives up.
        {"Kitchen", 10000},
        // " (Copy 100)" would make 221 characters, beyond any printer name.
        {std::string(210, 'K'), 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.printerName.size());
        Process().setup.printerName = c.printerName;
        SystemCallsOverride restore;
        int calls = 0;
        std::vector<std::string> names;
        System().addPrinter = FailingAdds(ERROR_PRINTER_ALREADY_EXISTS, -1, calls, &names);
        int defaults = 0;
        System().setDefaultPrinter = [&](LPCSTR) { return ++defaults, TRUE; };
        MessageBoxScript boxes;
        CInstaller installer;
        installer.printerPort = "LPT1:";
        EXPECT_FALSE(installer.AddPrinterOnPort());
        EXPECT_EQ(c.expectedAttempts, calls);
        for (const std::string& name : names) EXPECT_LE(name.size(), 220u);
        EXPECT_EQ(0, defaults);
        EXPECT_TRUE(boxes.shown().empty());
    }
}

TEST_F(InstallerTest, UnknownDriverIsReportedAndEndsTheInstallation) {
    SystemCallsOverride restore;
    int calls = 0;
    System().addPrinter = FailingAdds(ERROR_UNKNOWN_PRINTER_DRIVER, -1, calls);
    int infCalls = 0;
    System().setupCopyOEMInf = [&](PCSTR, PCSTR, DWORD, DWORD, PSTR, DWORD, PDWORD, PSTR*) {
        ++infCalls;
        return TRUE;
    };
    MessageBoxScript boxes;
    CInstaller installer;
    installer.printerPort = "LPT1:";
    installer.InstallPrinter();
    EXPECT_EQ(1, calls);
    EXPECT_EQ(0, infCalls);
    ASSERT_EQ(1u, boxes.shown().size());
    EXPECT_EQ(nullptr, boxes.shown()[0].owner);
    EXPECT_EQ("Printer driver unknown.", boxes.shown()[0].text);
    EXPECT_EQ("ZNT Series Printer Driver - Setup", boxes.shown()[0].caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONERROR), boxes.shown()[0].type);
}

TEST_F(InstallerTest, FailingDriverRegistrationShowsItsErrorCodeAndAddsNoPrinter) {
    SystemCallsOverride restore;
    System().addPrinterDriverEx = [](LPSTR, DWORD, LPBYTE, DWORD) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    };
    int calls = 0;
    System().addPrinter = FailingAdds(0, 0, calls);
    MessageBoxScript boxes;
    CInstaller installer;
    installer.printerPort = "LPT1:";
    installer.InstallPrinter();
    EXPECT_EQ(0, calls);
    EXPECT_FALSE(ReadPrinter(kPrinter));
    ASSERT_EQ(1u, boxes.shown().size());
    EXPECT_EQ("error code is 2", boxes.shown()[0].text);
    EXPECT_EQ("installer_test", boxes.shown()[0].caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), boxes.shown()[0].type);
}

TEST_F(InstallerTest, SetupInfNameReplacesTheFileNameOfTheSetupInfPath) {
    const struct {
        const char* setupInfPath;
        int is64BitWindows;
        const char* expected;
    } cases[] = {
        {"", 0, "2Ksetup.inf"},
        {"", 1, "2Ksetupx64.inf"},
        {"ousb_dev_serial_x86.inf", 0, "2Ksetup.inf"},
        {"C:\\Setup\\x86\\ousb_dev_serial_x86.inf", 0, "C:\\Setup\\x86\\2Ksetup.inf"},
        {"C:\\Setup\\x64\\ousb_dev_serial_x64.inf", 1, "C:\\Setup\\x64\\2Ksetupx64.inf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setupInfPath);
        Process().setup.setupInfPath = c.setupInfPath;
        Process().setup.is64BitWindows = c.is64BitWindows;
        SystemCallsOverride restore;
        std::vector<std::string> sources;
        System().setupCopyOEMInf = [&](PCSTR source, PCSTR media, DWORD mediaType, DWORD style,
                                       PSTR destination, DWORD size, PDWORD required, PSTR* part) {
            sources.push_back(source);
            EXPECT_EQ(nullptr, media);
            EXPECT_EQ(DWORD(SPOST_PATH), mediaType);
            EXPECT_EQ(DWORD(SP_COPY_NOOVERWRITE), style);
            EXPECT_NE(nullptr, destination);
            EXPECT_EQ(DWORD(MAX_PATH), size);
            EXPECT_EQ(nullptr, required);
            EXPECT_EQ(nullptr, part);
            strcpy(destination, "C:\\windows\\inf\\oem7.inf");
            return TRUE;
        };
        CInstaller installer;
        EXPECT_TRUE(installer.CopySetupInf());
        EXPECT_EQ(std::vector<std::string>{c.expected}, sources);
        EXPECT_EQ(c.expected, Process().setup.setupInfPath);
        EXPECT_EQ("C:\\windows\\inf\\oem7.inf", installer.oemInfName);
        EXPECT_EQ(c.expected, installer.pnpInfPath);
    }
}

TEST_F(InstallerTest, SetupInfAlreadyInTheStoreCountsAsRegistered) {
    std::string folder = ProgramFolder() + (x64_ ? "x64\\" : "x86\\");
    Process().setup.setupInfPath = folder + "ousb_dev_serial_x86.inf";
    SystemCallsOverride restore;
    std::vector<DWORD> errors;
    auto real = SystemCalls::Real().setupCopyOEMInf;
    System().setupCopyOEMInf = [&](PCSTR source, PCSTR media, DWORD mediaType, DWORD style,
                                   PSTR destination, DWORD size, PDWORD required, PSTR* part) {
        BOOL copied = real(source, media, mediaType, style, destination, size, required, part);
        errors.push_back(copied ? ERROR_SUCCESS : ::GetLastError());
        return copied;
    };
    CInstaller first;
    EXPECT_TRUE(first.CopySetupInf());
    Forget(first);
    CInstaller second;
    EXPECT_TRUE(second.CopySetupInf());
    Forget(second);
    EXPECT_EQ((std::vector<DWORD>{ERROR_SUCCESS, ERROR_FILE_EXISTS}), errors);
    EXPECT_EQ(folder + (x64_ ? "2Ksetupx64.inf" : "2Ksetup.inf"), Process().setup.setupInfPath);
    EXPECT_TRUE(Exists(first.oemInfName)) << first.oemInfName;
    EXPECT_EQ(ReadFile(Process().setup.setupInfPath), ReadFile(first.oemInfName));
}

TEST_F(InstallerTest, UsbPrinterDriverIsUpdatedFromThePackagesSetupInf) {
    std::string folder = ProgramFolder() + "x86\\";
    Process().setup.setupInfPath = folder + "ousb_dev_serial_x86.inf";
    Process().setup.is64BitWindows = 0;
    SystemCallsOverride restore;
    std::vector<std::string> updates;
    System().updateDriverForPlugAndPlayDevices = [&](HWND owner, LPCSTR hardwareId, LPCSTR inf,
                                                     DWORD flags, PBOOL reboot) {
        EXPECT_EQ(nullptr, owner);
        EXPECT_STREQ("USB\\VID_1CBE&PID_0002", hardwareId);
        EXPECT_EQ(0u, flags);
        EXPECT_EQ(nullptr, reboot);
        updates.push_back(inf);
        return FALSE;
    };
    std::vector<std::string> registered;
    System().setupCopyOEMInf = [&](PCSTR source, PCSTR media, DWORD mediaType, DWORD style,
                                   PSTR destination, DWORD, PDWORD, PSTR*) {
        registered.push_back(source);
        if (style == SP_COPY_OEMINF_CATALOG_ONLY) {
            EXPECT_STREQ(source, media);
            EXPECT_EQ(DWORD(SPOST_NONE), mediaType);
            EXPECT_EQ(nullptr, destination);
        }
        ::SetLastError(ERROR_FILE_EXISTS);
        return FALSE;
    };
    CInstaller installer;
    EXPECT_TRUE(installer.CopySetupInf());
    EXPECT_TRUE(installer.UpdateUsbPrinterDriver());
    EXPECT_EQ(std::vector<std::string>{folder + "2Ksetup.inf"}, updates);
    EXPECT_EQ(std::vector<std::string>(2, folder + "2Ksetup.inf"), registered);
}

class StatusMonitorTest : public InstallerTest {};

TEST_F(StatusMonitorTest, OnlyAPrinterAddedAsTheMonitoredNameGetsTheStatusMonitor) {
    const struct {
        const char* printerName;
        int taken;  // add attempts answered 1802 first
        bool deployed;
    } cases[] = {
        {"Version - 1.01.007", 0, true},   {"version - 1.01.007", 0, false},
        {"VERSION - 1.01.007", 0, false},  {"Version - 1.01.007", 1, false},
        {"Version - 1.01.0071", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.printerName << ", taken " << c.taken);
        Process().setup.printerName = c.printerName;
        extraPrinters_ = {c.printerName};
        SystemCallsOverride restore;
        int calls = 0;
        System().addPrinter = FailingAdds(ERROR_PRINTER_ALREADY_EXISTS, c.taken, calls);
        CInstaller installer;
        installer.printerPort = "LPT1:";
        installer.InstallPrinter();
        Forget(installer);
        ASSERT_TRUE(ReadPrinter(installer.addedPrinterName)) << installer.addedPrinterName;
        EXPECT_EQ(c.deployed, Exists(monitorCopy_));
        EXPECT_EQ(c.deployed, RunValue().has_value());
        EXPECT_EQ(c.deployed,
                  c.deployed ? WaitForStatusMonitor() : StatusMonitorWindow() != nullptr);
        Clean();
    }
}

TEST_F(StatusMonitorTest, DeploysIntoTheDriverDirectoryAndStartsMinimised) {
    CInstaller installer;
    ASSERT_TRUE(installer.QueryDriverDirectory());
    ASSERT_TRUE(installer.CopyStatusMonitor());
    EXPECT_EQ(ReadFile(ProgramFolder() + "STM\\Version - 1.01.011.exe"), ReadFile(monitorCopy_));
    installer.RegisterStatusMonitorRun();
    // Started at logon by the name without ".exe".
    EXPECT_EQ(driverDirectory_ + "\\STM\\Version - 1.01.011", RunValue().value_or("<none>"));
    installer.LaunchStatusMonitor();
    ASSERT_TRUE(WaitForStatusMonitor());
    EXPECT_TRUE(::IsIconic(StatusMonitorWindow()));
}

TEST_F(StatusMonitorTest, ExistingFolderAndProgramAreReplacedWithoutAsking) {
    ASSERT_TRUE(::CreateDirectoryA(stmFolder_.c_str(), nullptr));
    std::ofstream(monitorCopy_, std::ios::binary) << "an older status monitor";
    MessageBoxScript boxes;
    CInstaller installer;
    ASSERT_TRUE(installer.QueryDriverDirectory());
    EXPECT_TRUE(installer.CopyStatusMonitor());
    EXPECT_EQ(ReadFile(ProgramFolder() + "STM\\Version - 1.01.011.exe"), ReadFile(monitorCopy_));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(StatusMonitorTest, CurrentDirectoryWithoutStatusMonitorDeploysNothing) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    ASSERT_TRUE(::SetCurrentDirectoryA(temp));
    ASSERT_FALSE(Exists("STM\\Version - 1.01.011.exe"));
    Process().setup.printerName = "Version - 1.01.007";
    CInstaller installer;
    installer.printerPort = "LPT1:";
    installer.InstallPrinter();
    Forget(installer);
    EXPECT_TRUE(ReadPrinter("Version - 1.01.007"));
    EXPECT_FALSE(Exists(monitorCopy_));
    EXPECT_FALSE(RunValue());
    EXPECT_EQ(nullptr, StatusMonitorWindow());
}

TEST_F(StatusMonitorTest, UsbArrivalDeploysItAndMakesTheMonitoredPrinterTheDefault) {
    for (bool directoryKnown : {false, true}) {
        SCOPED_TRACE(directoryKnown ? "driver directory known" : "driver directory unknown");
        SystemCallsOverride restore;
        if (!directoryKnown) {
            System().getPrinterDriverDirectory = [](LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD) {
                ::SetLastError(ERROR_INVALID_ENVIRONMENT);
                return FALSE;
            };
        }
        std::vector<std::string> defaults;
        // No printer of that name exists: the call fails, and nobody is told.
        System().setDefaultPrinter = [&](LPCSTR name) {
            defaults.emplace_back(name);
            return FALSE;
        };
        MessageBoxScript boxes;
        CInstaller installer;
        installer.InstallStatusMonitorForUsb();
        EXPECT_EQ(std::vector<std::string>{"Version - 1.01.007"}, defaults);
        EXPECT_EQ(directoryKnown, Exists(monitorCopy_));
        EXPECT_EQ(directoryKnown, RunValue().has_value());
        EXPECT_EQ(directoryKnown, directoryKnown ? WaitForStatusMonitor() : false);
        EXPECT_TRUE(boxes.shown().empty());
        Clean();
    }
}

// 64-bit Windows: the driver is registered for "Windows x64". Wine looks the driver of
// a new printer up in the caller's environment, so the 32-bit program's add fails there
// (AddPrinterW's 1797, which AddPrinterA passes on as 87) where Windows' spooler adds
// the printer; the test expects Wine's answer: no printer and, for 87, no message.
TEST_F(InstallerTest, X64RegistersTheDriverForWindowsX64) {
    if (!x64_) GTEST_SKIP() << "runs in the 64-bit prefix";
    SystemCallsOverride restore;
    std::vector<DWORD> addErrors;
    auto real = SystemCalls::Real().addPrinter;
    System().addPrinter = [&](LPSTR server, DWORD level, LPBYTE info) {
        HANDLE added = real(server, level, info);
        addErrors.push_back(added ? ERROR_SUCCESS : ::GetLastError());
        if (!added) ::SetLastError(addErrors.back());
        return added;
    };
    MessageBoxScript boxes;
    CInstaller installer;
    installer.printerPort = "LPT1:";
    installer.InstallPrinter();
    EXPECT_EQ(std::vector<DWORD>{ERROR_INVALID_PARAMETER}, addErrors);
    std::optional<DriverRecord> driver = ReadDriver(kPrinter, "Windows x64");
    ASSERT_TRUE(driver);
    EXPECT_EQ("Windows x64", driver->environment);
    EXPECT_EQ("z410.gpd", driver->dataFile);
    EXPECT_FALSE(ReadDriver(kPrinter, nullptr));
    EXPECT_FALSE(ReadPrinter(kPrinter));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(InstallerTest, X64SetupInfIsTheX64One) {
    if (!x64_) GTEST_SKIP() << "runs in the 64-bit prefix";
    std::string folder = ProgramFolder() + "x64\\";
    Process().setup.setupInfPath = folder + "ousb_dev_serial_x64.inf";
    CInstaller installer;
    EXPECT_TRUE(installer.CopySetupInf());
    Forget(installer);
    EXPECT_EQ(folder + "2Ksetupx64.inf", Process().setup.setupInfPath);
    EXPECT_EQ(ReadFile(folder + "2Ksetupx64.INF"), ReadFile(installer.oemInfName));
}

}  // namespace
