// The package's configuration DLL, loaded from the staged x86 folder and called the way
// a spooler calls it: directly, without property sheets, to learn the size of the
// driver's device mode and to have it filled.

#include "DocumentPropertyHeader.h"
#include "PackageTestSupport.h"

#include <compstui.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The documented layout on 32-bit Windows: two WORDs, four pointers, two DWORDs.
static_assert(sizeof(DOCUMENTPROPERTYHEADER) == 28);

using DocumentPropertySheetsFn = LONG(WINAPI*)(PPROPSHEETUI_INFO, LPARAM);
using DevicePropertySheetsFn = LONG(WINAPI*)(PPROPSHEETUI_INFO, LPARAM);
using DeviceCapabilitiesFn = DWORD(WINAPI*)(HANDLE, PWSTR, WORD, PVOID, PDEVMODEW);

constexpr const wchar_t* kPrinterName = L"Quelor Receipt Counter 1";
constexpr BYTE kGuardByte = 0xA5;

class UnidrvuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_.reset(LoadLibraryA(StagedPackagePath("x86/Unidrvui.dll").c_str()));
        ASSERT_TRUE(module_) << "LoadLibrary failed with " << GetLastError();
        documentSheets_ = Export<DocumentPropertySheetsFn>("DrvDocumentPropertySheets");
        deviceSheets_ = Export<DevicePropertySheetsFn>("DrvDevicePropertySheets");
        capabilities_ = Export<DeviceCapabilitiesFn>("DrvDeviceCapabilities");
        ASSERT_NE(documentSheets_, nullptr);
        ASSERT_NE(deviceSheets_, nullptr);
        ASSERT_NE(capabilities_, nullptr);
    }

    template <typename Fn>
    Fn Export(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_.get(), name)));
    }

    static DOCUMENTPROPERTYHEADER Header(DWORD mode, DEVMODEW* out, DWORD outSize,
                                         DEVMODEW* in = nullptr) {
        DOCUMENTPROPERTYHEADER header{};
        header.cbSize = sizeof header;
        header.pszPrinterName = const_cast<LPWSTR>(kPrinterName);
        header.pdmIn = in;
        header.pdmOut = out;
        header.cbOut = outSize;
        header.fMode = mode;
        return header;
    }

    LONG DevmodeSize() const {
        DOCUMENTPROPERTYHEADER header = Header(0, nullptr, 0);
        return documentSheets_(nullptr, reinterpret_cast<LPARAM>(&header));
    }

    // A devmode buffer of the size the driver asks for, followed by guard bytes that the
    // driver must leave alone.
    struct DevmodeBuffer {
        explicit DevmodeBuffer(size_t byteCount)
            : bytes(byteCount + 16, kGuardByte), size(byteCount) {}
        DEVMODEW* get() { return reinterpret_cast<DEVMODEW*>(bytes.data()); }
        bool GuardIntact() const {
            for (size_t i = size; i < bytes.size(); ++i) {
                if (bytes[i] != kGuardByte) return false;
            }
            return true;
        }
        std::vector<BYTE> bytes;
        size_t size;
    };

    DevmodeBuffer DefaultDevmode() const {
        DevmodeBuffer buffer(static_cast<size_t>(DevmodeSize()));
        DOCUMENTPROPERTYHEADER header =
            Header(DM_OUT_BUFFER, buffer.get(), static_cast<DWORD>(buffer.size));
        EXPECT_GT(documentSheets_(nullptr, reinterpret_cast<LPARAM>(&header)), 0);
        return buffer;
    }

    static PWSTR PrinterName() { return const_cast<PWSTR>(kPrinterName); }

    OwnedModule module_;
    DocumentPropertySheetsFn documentSheets_ = nullptr;
    DevicePropertySheetsFn deviceSheets_ = nullptr;
    DeviceCapabilitiesFn capabilities_ = nullptr;
};

TEST_F(UnidrvuiTest, SizeQueryGivesThePublicDevmodeAndTheDriverExtra) {
    const DWORD extra = capabilities_(nullptr, PrinterName(), DC_EXTRA, nullptr, nullptr);
    ASSERT_GT(extra, 0u);

    DOCUMENTPROPERTYHEADER noMode = Header(0, nullptr, 0);
    EXPECT_EQ(documentSheets_(nullptr, reinterpret_cast<LPARAM>(&noMode)),
              static_cast<LONG>(sizeof(DEVMODEW) + extra));
    EXPECT_EQ(noMode.cbOut, sizeof(DEVMODEW) + extra);

    // An output request without an output buffer is a size query too.
    DOCUMENTPROPERTYHEADER noBuffer = Header(DM_OUT_BUFFER, nullptr, 0);
    EXPECT_EQ(documentSheets_(nullptr, reinterpret_cast<LPARAM>(&noBuffer)),
              static_cast<LONG>(sizeof(DEVMODEW) + extra));
}

TEST_F(UnidrvuiTest, FillsADefaultDevmodeForEightyMillimetreRollPaperAt203Dpi) {
    DevmodeBuffer buffer = DefaultDevmode();
    const DEVMODEW& dm = *buffer.get();

    EXPECT_STREQ(dm.dmDeviceName, kPrinterName);
    EXPECT_EQ(dm.dmSpecVersion, DM_SPECVERSION);
    EXPECT_EQ(dm.dmSize, sizeof(DEVMODEW));
    EXPECT_EQ(dm.dmSize + dm.dmDriverExtra, buffer.size);
    const DWORD required = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERWIDTH | DM_PAPERLENGTH |
                           DM_COPIES | DM_PRINTQUALITY | DM_YRESOLUTION;
    EXPECT_EQ(dm.dmFields & required, required);
    EXPECT_EQ(dm.dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(dm.dmPaperWidth, 800);
    EXPECT_EQ(dm.dmPaperLength, 2970);
    EXPECT_EQ(dm.dmPrintQuality, 203);
    EXPECT_EQ(dm.dmYResolution, 203);
    EXPECT_EQ(dm.dmCopies, 1);
    EXPECT_TRUE(buffer.GuardIntact());

    // The paper is one the driver lists, under the name the devmode carries.
    std::vector<WORD> papers(capabilities_(nullptr, PrinterName(), DC_PAPERS, nullptr, nullptr));
    ASSERT_FALSE(papers.empty());
    capabilities_(nullptr, PrinterName(), DC_PAPERS, papers.data(), nullptr);
    EXPECT_EQ(static_cast<WORD>(dm.dmPaperSize), papers.front());
    EXPECT_STREQ(dm.dmFormName, L"Roll Paper 80 x 297 mm");
}

TEST_F(UnidrvuiTest, AnInputDevmodeChangesOnlyWhatThePrinterCanDo) {
    struct Case {
        const char* what;
        DWORD fields;
        short orientation, paperSize, copies;
        short expectOrientation, expectPaperLength, expectCopies;
    };
    const WORD longRoll = DMPAPER_USER + 2;
    const Case cases[] = {
        {"landscape, long roll, 3 copies", DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES,
         DMORIENT_LANDSCAPE, static_cast<short>(longRoll), 3, DMORIENT_LANDSCAPE, 32760, 3},
        {"A4 and 0 copies are refused", DM_PAPERSIZE | DM_COPIES, 0, DMPAPER_A4, 0,
         DMORIENT_PORTRAIT, 2970, 1},
        {"unmarked fields are ignored", 0, DMORIENT_LANDSCAPE, static_cast<short>(longRoll), 7,
         DMORIENT_PORTRAIT, 2970, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DEVMODEW input{};
        input.dmSize = sizeof input;
        input.dmSpecVersion = DM_SPECVERSION;
        input.dmFields = c.fields;
        input.dmOrientation = c.orientation;
        input.dmPaperSize = c.paperSize;
        input.dmCopies = c.copies;

        DevmodeBuffer buffer(static_cast<size_t>(DevmodeSize()));
        DOCUMENTPROPERTYHEADER header = Header(DM_IN_BUFFER | DM_OUT_BUFFER, buffer.get(),
                                               static_cast<DWORD>(buffer.size), &input);
        ASSERT_GT(documentSheets_(nullptr, reinterpret_cast<LPARAM>(&header)), 0);
        const DEVMODEW& dm = *buffer.get();
        EXPECT_EQ(dm.dmOrientation, c.expectOrientation);
        EXPECT_EQ(dm.dmPaperLength, c.expectPaperLength);
        EXPECT_EQ(dm.dmCopies, c.expectCopies);
        EXPECT_EQ(dm.dmPrintQuality, 203);
        EXPECT_TRUE(buffer.GuardIntact());
    }
}

TEST_F(UnidrvuiTest, ADevmodeTheDriverWroteComesBackUnchanged) {
    DEVMODEW input{};
    input.dmSize = sizeof input;
    input.dmFields = DM_ORIENTATION | DM_COPIES;
    input.dmOrientation = DMORIENT_LANDSCAPE;
    input.dmCopies = 2;
    DevmodeBuffer first(static_cast<size_t>(DevmodeSize()));
    DOCUMENTPROPERTYHEADER header =
        Header(DM_IN_BUFFER | DM_OUT_BUFFER, first.get(), static_cast<DWORD>(first.size), &input);
    ASSERT_GT(documentSheets_(nullptr, reinterpret_cast<LPARAM>(&header)), 0);

    DevmodeBuffer second(first.size);
    header = Header(DM_IN_BUFFER | DM_OUT_BUFFER, second.get(), static_cast<DWORD>(second.size),
                    first.get());
    ASSERT_GT(documentSheets_(nullptr, reinterpret_cast<LPARAM>(&header)), 0);
    EXPECT_EQ(std::memcmp(first.get(), second.get(), first.size), 0);
}

TEST_F(UnidrvuiTest, RefusesWhatItCannotServe) {
    DevmodeBuffer buffer(static_cast<size_t>(DevmodeSize()));
    DOCUMENTPROPERTYHEADER tooSmall =
        Header(DM_OUT_BUFFER, buffer.get(), static_cast<DWORD>(buffer.size - 1));
    EXPECT_LT(documentSheets_(nullptr, reinterpret_cast<LPARAM>(&tooSmall)), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(buffer.bytes.front(), kGuardByte);

    EXPECT_LT(documentSheets_(nullptr, 0), 0);

    // No property pages: the stand-in has no user interface to show.
    PROPSHEETUI_INFO sheetInfo{};
    sheetInfo.cbSize = sizeof sheetInfo;
    DOCUMENTPROPERTYHEADER header = Header(DM_IN_PROMPT, nullptr, 0);
    EXPECT_LT(documentSheets_(&sheetInfo, reinterpret_cast<LPARAM>(&header)), 0);
    EXPECT_LT(deviceSheets_(&sheetInfo, 0), 0);
    EXPECT_LT(deviceSheets_(nullptr, 0), 0);
}

TEST_F(UnidrvuiTest, DeviceCapabilitiesDescribeTheReceiptPrinter) {
    struct Case {
        WORD capability;
        DWORD expected;
    };
    const Case cases[] = {
        {DC_PAPERS, 2},
        {DC_PAPERNAMES, 2},
        {DC_PAPERSIZE, 2},
        {DC_BINS, 1},
        {DC_BINNAMES, 1},
        {DC_COPIES, 255},
        {DC_ENUMRESOLUTIONS, 1},
        {DC_DUPLEX, 0},
        {DC_COLLATE, 0},
        {DC_COLORDEVICE, 0},
        {DC_SIZE, sizeof(DEVMODEW)},
        {DC_VERSION, DM_SPECVERSION},
        {DC_FILEDEPENDENCIES, 0},
        {999, GDI_ERROR},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(capabilities_(nullptr, PrinterName(), c.capability, nullptr, nullptr), c.expected)
            << "capability " << c.capability;
    }

    LONG resolution[2] = {};
    ASSERT_EQ(capabilities_(nullptr, PrinterName(), DC_ENUMRESOLUTIONS, resolution, nullptr), 1u);
    EXPECT_EQ(resolution[0], 203);
    EXPECT_EQ(resolution[1], 203);

    POINT sizes[2] = {};
    ASSERT_EQ(capabilities_(nullptr, PrinterName(), DC_PAPERSIZE, sizes, nullptr), 2u);
    EXPECT_EQ(sizes[0].x, 800);
    EXPECT_EQ(sizes[0].y, 2970);
    EXPECT_EQ(sizes[1].x, 800);
    EXPECT_EQ(sizes[1].y, 32760);

    WCHAR names[2][64] = {};
    ASSERT_EQ(capabilities_(nullptr, PrinterName(), DC_PAPERNAMES, names, nullptr), 2u);
    EXPECT_STREQ(names[0], L"Roll Paper 80 x 297 mm");
    EXPECT_STREQ(names[1], L"Roll Paper 80 x 3276 mm");

    const DWORD minExtent = capabilities_(nullptr, PrinterName(), DC_MINEXTENT, nullptr, nullptr);
    const DWORD maxExtent = capabilities_(nullptr, PrinterName(), DC_MAXEXTENT, nullptr, nullptr);
    EXPECT_EQ(LOWORD(minExtent), 800);
    EXPECT_EQ(HIWORD(minExtent), 2970);
    EXPECT_EQ(HIWORD(maxExtent), 32760);
}

}  // namespace
