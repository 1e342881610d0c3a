// The driver package beside the program copied into the spooler's driver directories of
// a real Wine prefix (32-bit or 64-bit Windows, whichever this run is in).
#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/HostProbe.h"
#include "state/ProcessWide.h"
#include "platform/ProgramFolder.h"
#include "install/FileCopy.h"

using namespace testing_support;

namespace {

const std::vector<std::string> kPackageX86 = {"2Ksetup.inf", "GOEMUNI.dll", "GOEMUNI.ini",
                                              "Z410.GPD",    "Z613.DLL",    "STDNAMES.GPD",
                                              "TTFSUB.GPD"};
const std::vector<std::string> kUnidrv = {"Unidrv.dll",  "unidrv.hlp",   "Unidrvui.dll",
                                          "Unires.dll",  "STDDTYPE.GDL", "STDSCHEM.GDL",
                                          "STDSCHMX.GDL"};
constexpr char kX86DriverFolder[] = "C:\\Windows\\System32\\spool\\drivers\\w32x86\\";
constexpr char kKernelDriverFolder[] = "C:\\Windows\\System32\\drivers\\";

std::vector<std::string> PackageFiles(bool x64) {
    std::vector<std::string> files = kPackageX86;
    if (x64) files[0] = "2Ksetupx64.INF";
    return files;
}

// The OEM INF store copies of `source` (the store renames them oemN.inf).
std::vector<std::string> StoredCopiesOf(const std::string& source) {
    std::string wanted = ReadFile(source);
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    std::string infFolder = std::string(windows) + "\\inf\\";
    std::vector<std::string> copies;
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((infFolder + "oem*.inf").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return copies;
    do {
        if (ReadFile(infFolder + found.cFileName) == wanted) copies.push_back(found.cFileName);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return copies;
}

class PackageCopyTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessWide();
        x64_ = IsWow64Windows() == 1;
        Process().setup.is64BitWindows = x64_ ? 1 : 0;
        Process().setup.osName = "Windows7";
        sourceFolder_ = ProgramFolder() + (x64_ ? "x64\\" : "x86\\");
        ASSERT_TRUE(Exists(sourceFolder_ + PackageFiles(x64_)[0]))
            << "the package must lie beside the test program: " << sourceFolder_;
        std::string spooler = SpoolerDriverDirectory();
        ASSERT_FALSE(spooler.empty());
        driverFolder_ = x64_ ? spooler + "\\" : kX86DriverFolder;
        // 64-bit Windows has a drivers folder for 32-bit programs (SysWOW64\drivers);
        // Wine's 64-bit prefix lacks it until someone creates it.
        ::CreateDirectoryA(kKernelDriverFolder, nullptr);
        RemoveCopies();
    }
    void TearDown() override { RemoveCopies(); }

    std::vector<std::string> Destinations(bool withKernelFolder) const {
        std::vector<std::string> folders = {driverFolder_, driverFolder_ + "3\\"};
        if (withKernelFolder) folders.push_back(kKernelDriverFolder);
        return folders;
    }

    void RemoveCopies() {
        for (const std::string& folder : Destinations(true)) {
            for (bool x64 : {false, true}) {
                for (const std::string& name : PackageFiles(x64))
                    ::DeleteFileA((folder + name).c_str());
            }
            for (const std::string& name : kUnidrv) ::DeleteFileA((folder + name).c_str());
        }
        for (const std::string& stored : StoredCopiesOf(sourceFolder_ + PackageFiles(x64_)[0])) {
            ::SetupUninstallOEMInfA(stored.c_str(), SUOI_FORCEDELETE, nullptr);
        }
        char windows[MAX_PATH] = {};
        ::GetWindowsDirectoryA(windows, MAX_PATH);
        for (const char* name :
             {"2Ksetup.inf", "2Ksetup.pnf", "2Ksetupx64.INF", "2Ksetupx64.pnf"}) {
            ::DeleteFileA((std::string(windows) + "\\inf\\" + name).c_str());
        }
    }

    // Every package file in its three places and every Unidrv file in its two, each equal
    // to its source; or none anywhere.
    void ExpectPackageCopied(bool copied) {
        for (const std::string& folder : Destinations(true)) {
            for (const std::string& name : PackageFiles(x64_)) {
                ExpectCopy(copied, name, folder);
            }
        }
        for (const std::string& folder : Destinations(false)) {
            for (const std::string& name : kUnidrv) {
                ExpectCopy(copied, name, folder);
            }
        }
        EXPECT_FALSE(Exists(kKernelDriverFolder + kUnidrv[0]));
    }

    void ExpectCopy(bool copied, const std::string& name, const std::string& folder) {
        if (copied) {
            EXPECT_TRUE(ReadFile(sourceFolder_ + name) == ReadFile(folder + name))
                << folder + name << (Exists(folder + name) ? " differs" : " is missing");
        } else {
            EXPECT_FALSE(Exists(folder + name)) << folder + name;
        }
    }

    bool x64_ = false;
    std::string sourceFolder_;
    std::string driverFolder_;
};

TEST_F(PackageCopyTest, CopiesThePackageForTheRunningWindowsAndRegistersItsSetupInf) {
    SystemCallsOverride restore;
    std::vector<std::string> registered;
    auto real = SystemCalls::Real().setupCopyOEMInf;
    System().setupCopyOEMInf = [&](PCSTR source, PCSTR media, DWORD mediaType, DWORD style,
                                   PSTR destination, DWORD size, PDWORD required, PSTR* part) {
        registered.push_back(source);
        EXPECT_STREQ(source, media);
        EXPECT_EQ(DWORD(SPOST_NONE), mediaType);
        EXPECT_EQ(DWORD(SP_COPY_OEMINF_CATALOG_ONLY), style);
        EXPECT_EQ(nullptr, destination);
        return real(source, media, mediaType, style, destination, size, required, part);
    };
    MessageBoxScript boxes;

    CFileCopy copy("Installing Virtual COM driver.\n\nPlease wait...");
    copy.CopyDriverFiles();

    ExpectPackageCopied(true);
    EXPECT_EQ(std::vector<std::string>{sourceFolder_ + PackageFiles(x64_)[0]}, registered);
    // This style stores only the INF's catalog, and the package ships none: the INF becomes
    // an OEM INF when the installation registers it. (Wine files the INF under its own
    // name in the INF folder instead of copying nothing, but makes no OEM INF of it either.)
    EXPECT_TRUE(StoredCopiesOf(sourceFolder_ + PackageFiles(x64_)[0]).empty());
    EXPECT_EQ(sourceFolder_, Process().packageSourceFolder);
    EXPECT_EQ(x64_ ? driverFolder_ : "", Process().x64DriverFolder);
    EXPECT_EQ(x64_ ? driverFolder_ + "3\\" : "", Process().x64DriverFolder3);
    EXPECT_EQ(SpoolerDriverDirectory(), copy.driverDirectory);
    EXPECT_EQ(nullptr, copy.GetSafeHwnd());
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PackageCopyTest, ReplacesFilesAlreadyThere) {
    for (const std::string& folder : Destinations(true)) {
        std::ofstream(folder + "Z410.GPD") << "an older model file";
    }
    CDriverPackageCopy copy;
    copy.CopyDriverFiles();
    ExpectPackageCopied(true);
}

TEST_F(PackageCopyTest, MissingArchitectureFolderCopiesNothingAndSaysNothing) {
    std::string moved = sourceFolder_.substr(0, sourceFolder_.size() - 1) + ".away";
    ASSERT_TRUE(::MoveFileA(sourceFolder_.c_str(), moved.c_str()));
    MessageBoxScript boxes;
    CDriverPackageCopy copy;
    copy.CopyDriverFiles();
    ::MoveFileA(moved.c_str(), sourceFolder_.c_str());
    ExpectPackageCopied(false);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(PackageCopyTest, FailedDriverDirectoryQueryCopiesNothing) {
    const struct {
        const char* name;
        DWORD needed;
        DWORD error;
    } cases[] = {
        {"spooler refuses", 0, ERROR_INVALID_ENVIRONMENT},
        {"no buffer can be had", 0xFFFFFFFF, ERROR_INSUFFICIENT_BUFFER},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SystemCallsOverride restore;
        System().getPrinterDriverDirectory = [&](LPSTR, LPSTR, DWORD, LPBYTE, DWORD,
                                                 LPDWORD needed) {
            *needed = c.needed;
            ::SetLastError(c.error);
            return FALSE;
        };
        CDriverPackageCopy copy;
        EXPECT_FALSE(copy.QueryDriverDirectory());
        EXPECT_EQ("", copy.driverDirectory);
        copy.CopyDriverFiles();
        ExpectPackageCopied(false);
    }
}

TEST_F(PackageCopyTest, DriverDirectoryIsAskedForItsSizeFirst) {
    SystemCallsOverride restore;
    std::vector<DWORD> sizes;
    auto real = SystemCalls::Real().getPrinterDriverDirectory;
    System().getPrinterDriverDirectory = [&](LPSTR server, LPSTR environment, DWORD level,
                                             LPBYTE buffer, DWORD size, LPDWORD needed) {
        EXPECT_EQ(nullptr, server);
        EXPECT_EQ(nullptr, environment);
        EXPECT_EQ(1u, level);
        sizes.push_back(size);
        return real(server, environment, level, buffer, size, needed);
    };
    CDriverPackageCopy copy;
    ASSERT_TRUE(copy.QueryDriverDirectory());
    EXPECT_EQ(SpoolerDriverDirectory(), copy.driverDirectory);
    ASSERT_EQ(2u, sizes.size());
    EXPECT_EQ(10u, sizes[0]);
    EXPECT_EQ(copy.driverDirectory.size() + 1, sizes[1]);
}

// Files of the current directory that the Windows 8 pattern copy takes, and one it leaves.
const std::vector<std::string> kPatternFiles = {"model.GPD", "plugin.DLL", "setup.INF", "help.HLP",
                                                "monitor.EXE"};
constexpr char kNotCopied[] = "readme.TXT";

class Windows8PatternCopyTest : public PackageCopyTest {
protected:
    void SetUp() override {
        PackageCopyTest::SetUp();
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        currentFolder_ = std::string(temp) + "quelor-pattern-copy\\";
        ::CreateDirectoryA(currentFolder_.c_str(), nullptr);
        for (const std::string& name : kPatternFiles) std::ofstream(currentFolder_ + name) << name;
        std::ofstream(currentFolder_ + kNotCopied) << kNotCopied;
        ::GetCurrentDirectoryA(MAX_PATH, previous_);
        ::SetCurrentDirectoryA(currentFolder_.c_str());
    }
    void TearDown() override {
        ::SetCurrentDirectoryA(previous_);
        std::string spooler = SpoolerDriverDirectory() + "\\";
        for (const std::string& name : kPatternFiles) {
            ::DeleteFileA((currentFolder_ + name).c_str());
            ::DeleteFileA((spooler + name).c_str());
        }
        ::DeleteFileA((currentFolder_ + kNotCopied).c_str());
        ::DeleteFileA((spooler + kNotCopied).c_str());
        ::RemoveDirectoryA(currentFolder_.c_str());
        PackageCopyTest::TearDown();
    }

    std::string currentFolder_;
    char previous_[MAX_PATH] = {};
};

TEST_F(Windows8PatternCopyTest, OnlyWindows8On32BitWindowsCopiesFromTheCurrentDirectory) {
    for (const char* family : {"Windows7", "windows8", "WindowsXP", "", "Windows8"}) {
        SCOPED_TRACE(family);
        Process().setup.osName = family;
        CDriverPackageCopy copy;
        copy.CopyDriverFiles();
        ExpectPackageCopied(true);
        bool patternCopy = std::string(family) == "Windows8" && !x64_;
        std::string spooler = SpoolerDriverDirectory() + "\\";
        for (const std::string& name : kPatternFiles) {
            EXPECT_EQ(patternCopy, Exists(spooler + name)) << name;
        }
        EXPECT_FALSE(Exists(spooler + kNotCopied));
    }
}

TEST_F(Windows8PatternCopyTest, AnErrorLeftByTheShellCopyCopiesThePackageAgain) {
    if (x64_) GTEST_SKIP() << "the pattern copy happens on 32-bit Windows only";
    Process().setup.osName = "Windows8";
    for (DWORD error : {DWORD(ERROR_ACCESS_DENIED), DWORD(0)}) {
        SCOPED_TRACE(error);
        SystemCallsOverride restore;
        std::string victim = driverFolder_ + "TTFSUB.GPD";
        System().fileOperation = [&](SHFILEOPSTRUCTA* operation) {
            EXPECT_EQ(UINT(FO_COPY), operation->wFunc);
            EXPECT_EQ(FILEOP_FLAGS(FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR), operation->fFlags);
            EXPECT_EQ(nullptr, operation->hwnd);
            EXPECT_EQ(0, memcmp("*.GPD\0*.DLL\0*.INF\0*.HLP\0*.EXE\0\0", operation->pFrom, 32));
            EXPECT_EQ(SpoolerDriverDirectory(), operation->pTo);
            ::DeleteFileA(victim.c_str());
            ::SetLastError(error);
            return 0;
        };
        CDriverPackageCopy copy;
        copy.CopyDriverFiles();
        EXPECT_EQ(error != 0, Exists(victim));
    }
}

}  // namespace
