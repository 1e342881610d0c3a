// The whole spooler path with the sample package, as the setup program walks it on
// 32-bit Windows: the x86 files go into the driver directory and its "3" folder, the
// driver is registered from a level-6 record and a printer is added on LPT1:. The
// spooler loads the package's configuration DLL for the printer's default device mode,
// so this fails if the stand-in is missing an entry point or answers wrongly.
//
// Runs in the 32-bit prefix: in a 64-bit one Wine validates the driver in the caller's
// environment, which Windows does not.

#include "PackageTestSupport.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <array>
#include <string>
#include <vector>

namespace {

constexpr char kName[] = "Quelor Package Check";

constexpr std::array<const char*, 14> kPackageFiles = {
    "2Ksetup.inf",  "GOEMUNI.dll",  "GOEMUNI.ini",  "Z410.GPD",     "Z613.DLL",
    "STDNAMES.GPD", "TTFSUB.GPD",   "Unidrv.dll",   "unidrv.hlp",   "Unidrvui.dll",
    "Unires.dll",   "STDDTYPE.GDL", "STDSCHEM.GDL", "STDSCHMX.GDL",
};

using OwnedPrinter = Owned<HANDLE, &ClosePrinter>;

std::string DriverDirectory() {
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, nullptr, 1, nullptr, 0, &needed);
    std::string directory(needed, '\0');
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory.data()),
                                    needed, &needed)) {
        return {};
    }
    directory.resize(directory.find('\0'));
    return directory;
}

// The local printers at one moment, as the spooler lists them at level 2.
class PrinterList {
public:
    PrinterList() {
        DWORD needed = 0;
        EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count_);
        buffer_.resize(needed);
        if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer_.data(), needed, &needed,
                           &count_)) {
            count_ = 0;
        }
    }

    const PRINTER_INFO_2A* Find(const std::string& name) const {
        const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer_.data());
        for (DWORD i = 0; i < count_; ++i) {
            if (name == printers[i].pPrinterName) return &printers[i];
        }
        return nullptr;
    }

private:
    std::vector<BYTE> buffer_;
    DWORD count_ = 0;
};

// The record the setup program registers: driver under the printer's name, the
// spooler's default environment, files taken from the driver directory.
bool RegisterDriver() {
    static constexpr char kDependentFiles[] =
        "Z613.dll\0GOEMUNI.ini\0GOEMUNI.dll\0unidrvui.dll\0unidrv.dll\0unidrv.hlp\0"
        "unires.dll\0stdnames.gpd\0";
    DRIVER_INFO_6A driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(kName);
    driver.pDriverPath = const_cast<char*>("unidrv.dll");
    driver.pDataFile = const_cast<char*>("Z410.GPD");
    driver.pConfigFile = const_cast<char*>("unidrvui.dll");
    driver.pHelpFile = const_cast<char*>("unidrv.hlp");
    driver.pDependentFiles = const_cast<char*>(kDependentFiles);
    driver.ftDriverDate = {0x39D00000, 0x01C9ED4C};
    driver.dwlDriverVersion = (DWORDLONG{0x00050000} << 32) | 6;
    driver.pszMfgName = const_cast<char*>("ZNT-Series");
    driver.pszOEMUrl = const_cast<char*>("http://www.quelor.example/");
    driver.pszHardwareID = const_cast<char*>("USB\\VID_1CBE&PID_0002");
    driver.pszProvider = const_cast<char*>("ZNT-Series");
    return AddPrinterDriverExA(nullptr, 6, reinterpret_cast<BYTE*>(&driver), APD_COPY_ALL_FILES);
}

OwnedPrinter AddPackagePrinter() {
    PRINTER_INFO_2A printer{};
    printer.pPrinterName = const_cast<char*>(kName);
    printer.pShareName = const_cast<char*>(kName);
    printer.pPortName = const_cast<char*>("LPT1:");
    printer.pDriverName = const_cast<char*>(kName);
    printer.pPrintProcessor = const_cast<char*>("winprint");
    printer.pDatatype = const_cast<char*>("RAW");
    printer.Attributes = PRINTER_ATTRIBUTE_DEFAULT | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST;
    printer.Priority = 1;
    return OwnedPrinter(AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer)));
}

class SpoolerInstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string directory = DriverDirectory();
        ASSERT_FALSE(directory.empty()) << "no driver directory: " << GetLastError();
        const std::string version3 = directory + "\\3";
        CreateDirectoryA(version3.c_str(), nullptr);
        for (const char* file : kPackageFiles) {
            const std::string source = StagedPackagePath(std::string("x86/") + file);
            for (const std::string& target : {directory, version3}) {
                ASSERT_TRUE(CopyFileA(source.c_str(), (target + "\\" + file).c_str(), FALSE))
                    << file << " to " << target << ": " << GetLastError();
            }
        }
        ASSERT_TRUE(RegisterDriver()) << "AddPrinterDriverExA failed with " << GetLastError();
    }

    // Other tests in this prefix start from a spooler without our driver.
    static void TearDownTestSuite() {
        DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kName));
    }

    void TearDown() override {
        if (printer_) DeletePrinter(printer_.get());
        printer_.reset();
        EXPECT_EQ(PrinterList().Find(kName), nullptr) << "the test printer is still there";
    }

    void AddTestPrinter() {
        printer_ = AddPackagePrinter();
        ASSERT_TRUE(printer_) << "AddPrinterA failed with " << GetLastError();
    }

    OwnedPrinter printer_;
};

TEST_F(SpoolerInstallTest, AddedPrinterIsListedWithTheDriverAndPort) {
    ASSERT_NO_FATAL_FAILURE(AddTestPrinter());

    PrinterList printers;
    const PRINTER_INFO_2A* listed = printers.Find(kName);
    ASSERT_NE(listed, nullptr);
    EXPECT_STREQ(listed->pDriverName, kName);
    EXPECT_STREQ(listed->pPortName, "LPT1:");
    EXPECT_STREQ(listed->pPrintProcessor, "winprint");
    EXPECT_STREQ(listed->pDatatype, "RAW");
}

TEST_F(SpoolerInstallTest, DefaultDevmodeComesFromThePackagesConfigurationDll) {
    ASSERT_NO_FATAL_FAILURE(AddTestPrinter());

    DWORD needed = 0;
    GetPrinterA(printer_.get(), 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterA(printer_.get(), 2, buffer.data(), needed, &needed));
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    ASSERT_NE(info->pDevMode, nullptr);
    EXPECT_EQ(info->pDevMode->dmPaperWidth, 800);
    EXPECT_EQ(info->pDevMode->dmPaperLength, 2970);
    EXPECT_EQ(info->pDevMode->dmPrintQuality, 203);
    EXPECT_GT(info->pDevMode->dmDriverExtra, 0);
}

TEST_F(SpoolerInstallTest, DeletedPrinterLeavesTheList) {
    ASSERT_NO_FATAL_FAILURE(AddTestPrinter());
    ASSERT_TRUE(DeletePrinter(printer_.get())) << GetLastError();
    printer_.reset();
    EXPECT_EQ(PrinterList().Find(kName), nullptr);
}

}  // namespace
