#include "Devmode.h"
#include "PrinterModel.h"

#include <cwchar>

// Answers DeviceCapabilities for the spooler and GDI. An index this driver knows
// nothing about gets GDI_ERROR, as the interface asks; a capability the printer lacks
// gets 0.

namespace {

constexpr size_t kPaperNameChars = 64;
constexpr size_t kBinNameChars = 24;

template <typename Item, typename Fill>
DWORD FillPerPaper(void* output, Fill fill) {
    if (output != nullptr) {
        auto* items = static_cast<Item*>(output);
        for (const auto& paper : printer_model::kPapers) fill(*items++, paper);
    }
    return static_cast<DWORD>(printer_model::kPapers.size());
}

DWORD PaperNames(void* output) {
    if (output != nullptr) {
        auto* names = static_cast<WCHAR*>(output);
        for (const auto& paper : printer_model::kPapers) {
            std::wcsncpy(names, paper.name, kPaperNameChars);
            names += kPaperNameChars;
        }
    }
    return static_cast<DWORD>(printer_model::kPapers.size());
}

DWORD Extent(short length) {
    return MAKELONG(printer_model::kDefaultPaper.widthTenthsMm, length);
}

}  // namespace

extern "C" DWORD WINAPI DrvDeviceCapabilities(HANDLE, PWSTR, WORD capability, PVOID output,
                                              PDEVMODEW) {
    using printer_model::RollPaper;
    switch (capability) {
        case DC_FIELDS:
            return kDevmodeFields;
        case DC_PAPERS:
            return FillPerPaper<WORD>(output,
                                      [](WORD& id, const RollPaper& paper) { id = paper.id; });
        case DC_PAPERSIZE:
            return FillPerPaper<POINT>(output, [](POINT& size, const RollPaper& paper) {
                size = {paper.widthTenthsMm, paper.lengthTenthsMm};
            });
        case DC_PAPERNAMES:
        case DC_MEDIAREADY:
            return PaperNames(output);
        case DC_MINEXTENT:
            return Extent(printer_model::kPapers.front().lengthTenthsMm);
        case DC_MAXEXTENT:
            return Extent(printer_model::kPapers.back().lengthTenthsMm);
        case DC_BINS:
            if (output != nullptr) *static_cast<WORD*>(output) = printer_model::kRollBin;
            return 1;
        case DC_BINNAMES:
            if (output != nullptr) {
                std::wcsncpy(static_cast<WCHAR*>(output), printer_model::kRollBinName,
                             kBinNameChars);
            }
            return 1;
        case DC_ENUMRESOLUTIONS:
            if (output != nullptr) {
                auto* pair = static_cast<LONG*>(output);
                pair[0] = printer_model::kResolutionDpi;
                pair[1] = printer_model::kResolutionDpi;
            }
            return 1;
        case DC_SIZE:
            return sizeof(DEVMODEW);
        case DC_EXTRA:
            return sizeof(ReceiptOptions);
        case DC_VERSION:
            return DM_SPECVERSION;
        case DC_DRIVER:
            return printer_model::kDriverVersion;
        case DC_COPIES:
            return printer_model::kMaxCopies;
        case DC_ORIENTATION:
            return printer_model::kLandscapeRotation;
        case DC_TRUETYPE:
            return DCTT_BITMAP | DCTT_SUBDEV;
        case DC_FILEDEPENDENCIES:
        case DC_DUPLEX:
        case DC_COLLATE:
        case DC_COLORDEVICE:
        case DC_STAPLE:
            return 0;
        default:
            return GDI_ERROR;
    }
}
