// The package's four INF files as the system's setup library reads them: each parses
// as a Windows NT INF of its class, offers a model for the printer's USB hardware ID in
// the section of its architecture, names only files that ship beside it, and is
// accepted by the OEM INF store the way the setup program registers it.

#include "PackageTestSupport.h"

#include <gtest/gtest.h>
#include <setupapi.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kHardwareId[] = "USB\\VID_1CBE&PID_0002";
constexpr char kPrinterClassGuid[] = "{4D36E979-E325-11CE-BFC1-08002BE10318}";
constexpr char kPortsClassGuid[] = "{4D36E978-E325-11CE-BFC1-08002BE10318}";

struct StagedInf {
    const char* path;
    const char* infClass;
    const char* classGuid;
    const char* decoration;
    const char* sourceFilesSection;
};

const StagedInf kInfs[] = {
    {"x86/2Ksetup.inf", "Printer", kPrinterClassGuid, "NTx86", "SourceDisksFiles.x86"},
    {"x64/2Ksetupx64.INF", "Printer", kPrinterClassGuid, "NTamd64", "SourceDisksFiles.amd64"},
    {"x86/ousb_dev_serial_x86.inf", "Ports", kPortsClassGuid, "NTx86", nullptr},
    {"x64/ousb_dev_serial_x64.inf", "Ports", kPortsClassGuid, "NTamd64", nullptr},
};

using OwnedInf = Owned<HINF, &SetupCloseInfFile>;

std::string Field(INFCONTEXT& line, DWORD index) {
    char text[512] = {};
    if (!SetupGetStringFieldA(&line, index, text, sizeof text, nullptr)) return {};
    return text;
}

std::string LineText(HINF inf, const char* section, const char* key) {
    char text[512] = {};
    if (!SetupGetLineTextA(nullptr, inf, section, key, text, sizeof text, nullptr)) return {};
    return text;
}

// Every value of a section: the key of "key=value" lines, the whole text of others.
std::vector<std::string> SectionEntries(HINF inf, const std::string& section) {
    std::vector<std::string> entries;
    INFCONTEXT line;
    if (!SetupFindFirstLineA(inf, section.c_str(), nullptr, &line)) return entries;
    do {
        std::string key = Field(line, 0);
        entries.push_back(key.empty() ? Field(line, 1) : key);
    } while (SetupFindNextLine(&line, &line));
    return entries;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

class StagedInfTest : public ::testing::TestWithParam<StagedInf> {
protected:
    void SetUp() override {
        path_ = StagedPackagePath(GetParam().path);
        UINT errorLine = 0;
        inf_.reset(SetupOpenInfFileA(path_.c_str(), nullptr, INF_STYLE_WIN4, &errorLine));
        if (inf_.get() == INVALID_HANDLE_VALUE) inf_.release();
        ASSERT_TRUE(inf_) << path_ << ": error " << GetLastError() << " at line " << errorLine;
    }

    // The models section of this INF's architecture, found through [Manufacturer].
    std::string ModelsSection() {
        INFCONTEXT manufacturer;
        if (!SetupFindFirstLineA(inf_.get(), "Manufacturer", nullptr, &manufacturer)) return {};
        EXPECT_EQ(Field(manufacturer, 2), GetParam().decoration);
        return Field(manufacturer, 1) + "." + GetParam().decoration;
    }

    std::string path_;
    OwnedInf inf_;
};

TEST_P(StagedInfTest, IsAWindowsNtInfOfItsClass) {
    EXPECT_EQ(LineText(inf_.get(), "Version", "Signature"), "$Windows NT$");
    EXPECT_EQ(LineText(inf_.get(), "Version", "Class"), GetParam().infClass);
    EXPECT_EQ(Upper(LineText(inf_.get(), "Version", "ClassGuid")), GetParam().classGuid);
    EXPECT_EQ(LineText(inf_.get(), "Version", "CatalogFile"), "")
        << "a catalog entry makes the OEM INF store look for a catalog that does not ship";
}

TEST_P(StagedInfTest, OffersAModelForThePrintersHardwareId) {
    const std::string section = ModelsSection();
    INFCONTEXT model;
    ASSERT_TRUE(SetupFindFirstLineA(inf_.get(), section.c_str(), nullptr, &model)) << section;
    EXPECT_EQ(Upper(Field(model, 2)), kHardwareId);
    const std::string install = Field(model, 1);
    EXPECT_FALSE(install.empty());
}

TEST_P(StagedInfTest, NamesOnlyFilesThatShipBesideIt) {
    if (GetParam().sourceFilesSection == nullptr) GTEST_SKIP() << "uses the system's usbser.sys";
    INFCONTEXT model;
    ASSERT_TRUE(SetupFindFirstLineA(inf_.get(), ModelsSection().c_str(), nullptr, &model));
    const std::string install = Field(model, 1);
    EXPECT_EQ(LineText(inf_.get(), install.c_str(), "DriverFile"), "UNIDRV.DLL");
    EXPECT_EQ(LineText(inf_.get(), install.c_str(), "ConfigFile"), "UNIDRVUI.DLL");
    EXPECT_EQ(LineText(inf_.get(), install.c_str(), "DataFile"), "Z410.GPD");
    EXPECT_EQ(LineText(inf_.get(), install.c_str(), "HelpFile"), "UNIDRV.HLP");
    EXPECT_EQ(LineText(inf_.get(), "DestinationDirs", "DefaultDestDir"), "66000");

    const std::vector<std::string> copied =
        SectionEntries(inf_.get(), LineText(inf_.get(), install.c_str(), "CopyFiles"));
    const std::vector<std::string> onDisk =
        SectionEntries(inf_.get(), GetParam().sourceFilesSection);
    EXPECT_EQ(copied.size(), 13u);
    const std::string folder = path_.substr(0, path_.rfind('\\') + 1);
    for (const std::string& file : copied) {
        EXPECT_NE(std::find(onDisk.begin(), onDisk.end(), file), onDisk.end())
            << file << " has no source disk entry";
        EXPECT_NE(GetFileAttributesA((folder + file).c_str()), INVALID_FILE_ATTRIBUTES)
            << file << " is not in the package";
    }
}

// The setup program registers each INF twice: first the way the virtual COM port and
// the package copy do (catalog only, no media type), then the way the installation
// ends (path media type, never overwrite). Windows copies only the catalog in the first
// call and the INF in the second; Wine ignores the catalog-only flag and copies the INF
// at once, so the second call finds it and reports ERROR_FILE_EXISTS, which the program
// counts as success. Either way the INF ends up in the store, and a further
// no-overwrite call finds it there.
TEST_P(StagedInfTest, OemInfStoreAcceptsItAsTheSetupProgramRegistersIt) {
    EXPECT_TRUE(SetupCopyOEMInfA(path_.c_str(), path_.c_str(), SPOST_NONE,
                                 SP_COPY_OEMINF_CATALOG_ONLY, nullptr, 0, nullptr, nullptr))
        << GetLastError();

    char stored[MAX_PATH] = {};
    const BOOL copied = SetupCopyOEMInfA(path_.c_str(), nullptr, SPOST_PATH, SP_COPY_NOOVERWRITE,
                                         stored, sizeof stored, nullptr, nullptr);
    const DWORD error = GetLastError();
    EXPECT_TRUE(copied || error == ERROR_FILE_EXISTS) << error;
    ASSERT_NE(stored[0], '\0');
    EXPECT_NE(GetFileAttributesA(stored), INVALID_FILE_ATTRIBUTES) << stored;

    char again[MAX_PATH] = {};
    EXPECT_FALSE(SetupCopyOEMInfA(path_.c_str(), nullptr, SPOST_PATH, SP_COPY_NOOVERWRITE, again,
                                  sizeof again, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_STREQ(again, stored);

    // Leave the store as it was, so that later tests register the INF afresh. Windows
    // removes the precompiled .pnf beside the INF as well; Wine leaves it.
    const char* name = std::strrchr(stored, '\\');
    EXPECT_TRUE(
        SetupUninstallOEMInfA(name != nullptr ? name + 1 : stored, SUOI_FORCEDELETE, nullptr));
    std::string precompiled = stored;
    precompiled.replace(precompiled.size() - 3, 3, "pnf");
    DeleteFileA(precompiled.c_str());
}

INSTANTIATE_TEST_SUITE_P(PackageInfs, StagedInfTest, ::testing::ValuesIn(kInfs),
                         [](const ::testing::TestParamInfo<StagedInf>& param) {
                             std::string name = param.param.path;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace
