#include "Devmode.h"

#include "PrinterModel.h"

#include <cstddef>
#include <cstring>
#include <cwchar>

namespace {

void CopyName(WCHAR* target, size_t capacity, const wchar_t* source) {
    if (source == nullptr) source = L"";
    std::wcsncpy(target, source, capacity - 1);
    target[capacity - 1] = L'\0';
}

void SelectPaper(DEVMODEW& devmode, const printer_model::RollPaper& paper) {
    devmode.dmPaperSize = static_cast<short>(paper.id);
    devmode.dmPaperWidth = paper.widthTenthsMm;
    devmode.dmPaperLength = paper.lengthTenthsMm;
    CopyName(devmode.dmFormName, CCHFORMNAME, paper.name);
}

// A field of `input` counts only when the caller marked it and its record is long
// enough to hold it: older callers pass shorter DEVMODEs.
bool Has(const DEVMODEW& input, DWORD flag, size_t fieldEnd) {
    return (input.dmFields & flag) != 0 && fieldEnd <= input.dmSize;
}

constexpr size_t kOrientationEnd = offsetof(DEVMODEW, dmOrientation) + sizeof(short);
constexpr size_t kPaperSizeEnd = offsetof(DEVMODEW, dmPaperSize) + sizeof(short);
constexpr size_t kCopiesEnd = offsetof(DEVMODEW, dmCopies) + sizeof(short);
constexpr size_t kDefaultSourceEnd = offsetof(DEVMODEW, dmDefaultSource) + sizeof(short);

}  // namespace

DriverDevmode DefaultDevmode(const wchar_t* deviceName) {
    DriverDevmode result{};
    DEVMODEW& dm = result.publicPart;
    CopyName(dm.dmDeviceName, CCHDEVICENAME, deviceName);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmDriverVersion = static_cast<WORD>(printer_model::kDriverVersion);
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmDriverExtra = sizeof(ReceiptOptions);
    dm.dmFields = kDevmodeFields;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    SelectPaper(dm, printer_model::kDefaultPaper);
    dm.dmScale = 100;
    dm.dmCopies = 1;
    dm.dmDefaultSource = printer_model::kRollBin;
    dm.dmPrintQuality = printer_model::kResolutionDpi;
    dm.dmColor = DMCOLOR_MONOCHROME;
    dm.dmDuplex = DMDUP_SIMPLEX;
    dm.dmYResolution = printer_model::kResolutionDpi;
    dm.dmTTOption = DMTT_DOWNLOAD;
    dm.dmCollate = DMCOLLATE_FALSE;

    result.privatePart.signature = kReceiptOptionsSignature;
    result.privatePart.paperCut = PaperCut::Partial;
    result.privatePart.cashDrawer = CashDrawer::NotOpened;
    return result;
}

void MergeDevmode(DriverDevmode& devmode, const DEVMODEW& input) {
    if (input.dmSize < offsetof(DEVMODEW, dmFields) + sizeof(input.dmFields)) return;
    DEVMODEW& dm = devmode.publicPart;

    if (Has(input, DM_ORIENTATION, kOrientationEnd) &&
        (input.dmOrientation == DMORIENT_PORTRAIT || input.dmOrientation == DMORIENT_LANDSCAPE)) {
        dm.dmOrientation = input.dmOrientation;
    }
    if (Has(input, DM_PAPERSIZE, kPaperSizeEnd)) {
        if (const auto* paper = printer_model::FindPaper(input.dmPaperSize))
            SelectPaper(dm, *paper);
    }
    if (Has(input, DM_COPIES, kCopiesEnd) && input.dmCopies >= 1 &&
        input.dmCopies <= printer_model::kMaxCopies) {
        dm.dmCopies = input.dmCopies;
    }
    if (Has(input, DM_DEFAULTSOURCE, kDefaultSourceEnd) &&
        input.dmDefaultSource == printer_model::kRollBin) {
        dm.dmDefaultSource = input.dmDefaultSource;
    }

    // The private part travels behind the public one: it is ours only when the caller's
    // record carries a full copy of it with our signature.
    if (input.dmDriverExtra >= sizeof(ReceiptOptions)) {
        ReceiptOptions options;
        std::memcpy(&options, reinterpret_cast<const BYTE*>(&input) + input.dmSize, sizeof options);
        if (options.signature == kReceiptOptionsSignature && options.paperCut <= PaperCut::Full &&
            options.cashDrawer <= CashDrawer::OpenAfter) {
            devmode.privatePart = options;
        }
    }
}
