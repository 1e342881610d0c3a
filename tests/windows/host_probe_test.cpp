// What the setup learns about the host: Windows family, WOW64, registry texts, the
// printer's USB device. Run against Wine's real registry and devices.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/HostProbe.h"
#include "state/ProcessWide.h"
#include "platform/ProgramFolder.h"
#include "app/UsbPrinterDevice.h"
#include "platform/UniqueHandle.h"

using namespace testing_support;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// --- Windows family and WOW64 ---------------------------------------------------

struct FamilyCase {
    DWORD major, minor;
    const char* name;
};

TEST(WindowsFamilyNameTest, NamesTheFamiliesTheSetupKnowsAndNoOther) {
    const FamilyCase cases[] = {
        {6, 2, "Windows8"},
        {6, 1, "Windows7"},
        {6, 0, "WindowsVista"},
        {5, 2, "Windows2003"},
        {5, 1, "WindowsXP"},
        {5, 0, "Windows2000"},
        {6, 3, ""},
        {10, 0, ""},
        {4, 0, ""},
        {5, 3, ""},
        {6, 4, ""},
        {0, 0, ""},
    };
    for (const FamilyCase& c : cases) {
        EXPECT_EQ(c.name, WindowsFamilyName(c.major, c.minor)) << c.major << "." << c.minor;
    }
}

// The test runner says which Windows version Wine reports to this program.
TEST(WindowsFamilyNameTest, RealRunNamesTheVersionWineReports) {
    std::string version = Environment("SETUP_WINE_VERSION");
    if (version.empty()) GTEST_SKIP() << "run without a chosen Windows version";
    const struct {
        const char* wineVersion;
        const char* family;
    } expected[] = {{"win7", "Windows7"},
                    {"win8", "Windows8"},
                    {"winxp", "WindowsXP"},
                    {"vista", "WindowsVista"},
                    {"win2003", "Windows2003"}};
    for (const auto& e : expected) {
        if (version == e.wineVersion) {
            EXPECT_EQ(e.family, GetWindowsFamilyName());
            return;
        }
    }
    FAIL() << "no expectation for " << version;
}

TEST(IsWow64WindowsTest, TellsA64BitWindowsFromA32BitOne) {
    std::string prefix = Environment("SETUP_WINE_PREFIX");
    ASSERT_FALSE(prefix.empty());
    EXPECT_EQ(prefix == "win64" ? 1 : 0, IsWow64Windows());
}

// --- Program folder ----------------------------------------------------------------

TEST(ProgramFolderTest, KeepsThePathUpToItsLastBackslash) {
    const struct {
        std::string path;
        std::string folder;
    } cases[] = {
        {"C:\\Setup\\Setup.exe", "C:\\Setup\\"},
        {"\\\\server\\share\\Setup.exe", "\\\\server\\share\\"},
        {"Setup.exe", ""},
        {"", ""},
        {"C:\\", "C:\\"},
        {std::string(300, 'a') + "\\b.exe", std::string(300, 'a') + "\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.folder, FolderOf(c.path)) << c.path;

    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = ProgramFolder();
    EXPECT_EQ(std::string(self).substr(0, folder.size()), folder);
    EXPECT_EQ('\\', folder.back());
}

// --- Registry texts ----------------------------------------------------------------

constexpr char kTestKey[] = "Software\\QuelorSetupTests\\ReadRegistryString";

class ReadRegistryStringTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, key_.out(), nullptr));
    }
    void TearDown() override {
        key_.reset();
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
    }
    void Set(const char* name, DWORD type, const std::string& data) {
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key_.get(), name, 0, type,
                                                  reinterpret_cast<const BYTE*>(data.data()),
                                                  static_cast<DWORD>(data.size())));
    }

    UniqueRegKey key_;
};

TEST_F(ReadRegistryStringTest, ReadsTheTextUpToItsFirstZeroByte) {
    using namespace std::string_literals;
    const struct {
        const char* name;
        DWORD type;
        std::string data;
        std::string expected;
    } cases[] = {
        {"Port", REG_SZ, "COM5\0"s, "COM5"},
        {"Empty", REG_SZ, ""s, ""},
        {"LeadingZero", REG_BINARY, "\0COM5"s, ""},
        {"EmbeddedZero", REG_BINARY, "AB\0CD"s, "AB"},
        {"Unterminated", REG_BINARY, "COM7"s, "COM7"},
        // The longest value the buffer holds: all of it, with or without a terminator.
        {"Full", REG_BINARY, std::string(1024, 'x'), std::string(1024, 'x')},
        {"FullText", REG_SZ, std::string(1023, 'y') + '\0', std::string(1023, 'y')},
        // Longer values are refused rather than cut.
        {"OneTooLong", REG_BINARY, std::string(1025, 'z'), ""},
        {"Long", REG_SZ, std::string(5000, 'w') + '\0', ""},
        {"Huge", REG_BINARY, std::string(1 << 20, 'v'), ""},
    };
    for (const auto& c : cases) Set(c.name, c.type, c.data);
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ReadRegistryString(HKEY_CURRENT_USER, kTestKey, c.name)) << c.name;
    }
}

TEST_F(ReadRegistryStringTest, MissingValueOrKeyGivesTheEmptyText) {
    EXPECT_EQ("", ReadRegistryString(HKEY_CURRENT_USER, kTestKey, "NoSuchValue"));
    EXPECT_EQ(
        "", ReadRegistryString(HKEY_CURRENT_USER, "Software\\QuelorSetupTests\\NoSuchKey", "Port"));
    EXPECT_EQ("", ReadRegistryString(HKEY_CURRENT_USER, std::string(2000, 'k'), "Port"));
}

// --- The printer's USB device --------------------------------------------------------

// Interface names as Windows registers them under the USB device class.
const std::string kClassGuid = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const std::string kAttached = "##?#USB#VID_1CBE&PID_0002#A0001#" + kClassGuid;
const std::string kDetached = "##?#USB#VID_1CBE&PID_0002#B0002#" + kClassGuid;
const std::string kLowerCase = "##?#usb#vid_1cbe&pid_0002#c0003#" + kClassGuid;
const std::string kOtherDevice = "##?#USB#VID_046D&PID_C52B#0001#" + kClassGuid;

// Registers device interfaces of the printer in Wine's registry and attaches devices the
// way Wine finds them: "\\.\NAME" opens NAME (lower case) in the prefix's dosdevices.
class UsbDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessWide();
        ASSERT_EQ(ERROR_SUCCESS,
                  ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUsbDeviceClassKey, 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, classKey_.out(), nullptr));
        std::string prefix = Environment("WINEPREFIX");
        ASSERT_FALSE(prefix.empty());
        dosDevices_ = WinePath(prefix) + "\\dosdevices\\";
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSerialPortMapKey, 0,
                                                   nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                                   nullptr, serialMap_.out(), nullptr));
    }
    void TearDown() override {
        for (const std::string& name : registered_) ::RegDeleteKeyA(classKey_.get(), name.c_str());
        for (const std::string& file : attached_) ::DeleteFileA(file.c_str());
        ::RegDeleteValueA(serialMap_.get(), kUsbSerialPortValue);
    }

    void Register(const std::string& name) {
        UniqueRegKey sub;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(classKey_.get(), name.c_str(), 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, sub.out(), nullptr));
        registered_.push_back(name);
    }
    // The device path of an interface: its name without the first four characters.
    void Attach(const std::string& name) {
        std::string file = dosDevices_ + name.substr(4);
        ::CharLowerBuffA(file.data(), static_cast<DWORD>(file.size()));
        UniqueFileHandle created(::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(created) << file << " " << ::GetLastError();
        attached_.push_back(file);
    }
    void SetSerialPort(const std::string& port) {
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(serialMap_.get(), kUsbSerialPortValue, 0, REG_SZ,
                                                  reinterpret_cast<const BYTE*>(port.c_str()),
                                                  static_cast<DWORD>(port.size() + 1)));
    }

    UniqueRegKey classKey_;
    UniqueRegKey serialMap_;
    std::string dosDevices_;
    std::vector<std::string> registered_;
    std::vector<std::string> attached_;
};

// The longest key name there is (255 characters), one more than the name buffer holds.
std::string TooLongForTheNameBuffer() {
    std::string name = "##?#USB#VID_1CBE&PID_0002#Z";
    return name + std::string(255 - name.size(), 'z');
}

struct UsbSearchCase {
    const char* name;
    std::vector<std::string> registered;
    std::vector<std::string> attached;
    const char* serialPort;  // nullptr: the serial port map has no USB serial port
    int expectedResult;
    const char* expectedPortName;  // the port name was "COM1" before the search
};

class UsbSearchTest : public UsbDeviceTest, public testing::WithParamInterface<UsbSearchCase> {};

TEST_P(UsbSearchTest, FindsTheAttachedPrinterAndItsSerialPort) {
    const UsbSearchCase& c = GetParam();
    for (const std::string& name : c.registered) Register(name);
    for (const std::string& name : c.attached) Attach(name);
    if (c.serialPort) SetSerialPort(c.serialPort);
    Process().setup.portName = "COM1";

    EXPECT_EQ(c.expectedResult, FindUsbPrinterPort());
    EXPECT_EQ(c.expectedPortName, Process().setup.portName);
    // The search never leaves a device behind where there was none.
    for (const std::string& name : c.registered) {
        bool wasAttached =
            std::find(c.attached.begin(), c.attached.end(), name) != c.attached.end();
        std::string file = dosDevices_ + name.substr(4);
        ::CharLowerBuffA(file.data(), static_cast<DWORD>(file.size()));
        EXPECT_EQ(wasAttached, ::GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsbSearchTest,
    testing::Values(
        UsbSearchCase{"NoInterfaceOfThePrinter", {kOtherDevice}, {kOtherDevice}, "COM9", 0, "COM1"},
        UsbSearchCase{"AttachedPrinter", {kAttached}, {kAttached}, "COM5", 1, "COM5"},
        UsbSearchCase{"LowerCaseInterfaceName", {kLowerCase}, {kLowerCase}, "COM6", 1, "COM6"},
        UsbSearchCase{"RegisteredButNotAttached", {kDetached}, {}, "COM5", 0, "COM1"},
        // The last matching interface decides, though the first one set the port.
        UsbSearchCase{
            "FirstAttachedLastNot", {kAttached, kDetached}, {kAttached}, "COM5", 0, "COM5"},
        UsbSearchCase{"AttachedWithoutSerialPort", {kAttached}, {kAttached}, nullptr, 1, ""},
        // A name the buffer cannot hold is skipped and the search goes on.
        UsbSearchCase{"NameTooLongIsSkipped",
                      {TooLongForTheNameBuffer(), kAttached},
                      {kAttached},
                      "COM8",
                      1,
                      "COM8"}),
    [](const testing::TestParamInfo<UsbSearchCase>& p) { return p.param.name; });

TEST_F(UsbDeviceTest, OpenUsbPrinterDeviceOpensAttachedDevicesOnly) {
    Attach(kAttached);
    SetSerialPort("COM4");
    EXPECT_EQ(0, OpenUsbPrinterDevice("\\\\.\\" + kDetached.substr(4)));
    EXPECT_EQ("", Process().setup.portName);
    EXPECT_EQ(1, OpenUsbPrinterDevice("\\\\.\\" + kAttached.substr(4)));
    EXPECT_EQ("COM4", Process().setup.portName);
    EXPECT_EQ(0, OpenUsbPrinterDevice("\\\\.\\" + std::string(5000, 'q')));
    EXPECT_EQ(0, OpenUsbPrinterDevice(""));
}

}  // namespace
