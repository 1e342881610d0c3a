#include "Devmode.h"
#include "DocumentPropertyHeader.h"

#include <compstui.h>

#include <cstring>

// The stand-in has no property pages. A spooler still calls the document entry point
// directly (no PROPSHEETUI_INFO) whenever it needs a printer's default device mode, for
// instance while it adds a printer, and that path must work.

namespace {

LONG Fail(DWORD error) {
    SetLastError(error);
    return ERR_CPSUI_GETLASTERROR;
}

LONG WriteDevmode(DOCUMENTPROPERTYHEADER& header) {
    if (header.cbOut < kDriverDevmodeSize) return Fail(ERROR_INSUFFICIENT_BUFFER);
    DriverDevmode devmode = DefaultDevmode(header.pszPrinterName);
    if ((header.fMode & DM_IN_BUFFER) != 0 && header.pdmIn != nullptr) {
        MergeDevmode(devmode, *header.pdmIn);
    }
    std::memcpy(header.pdmOut, &devmode, sizeof devmode);
    return CPSUI_OK;
}

}  // namespace

extern "C" LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    if (pPSUIInfo != nullptr) return Fail(ERROR_NOT_SUPPORTED);
    auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(lParam);
    if (header == nullptr || header->cbSize < sizeof(DOCUMENTPROPERTYHEADER)) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (header->fMode == 0 || header->pdmOut == nullptr) {
        header->cbOut = kDriverDevmodeSize;
        return static_cast<LONG>(kDriverDevmodeSize);
    }
    if ((header->fMode & DM_OUT_BUFFER) == 0) return CPSUI_OK;
    return WriteDevmode(*header);
}

extern "C" LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO, LPARAM) {
    return Fail(ERROR_NOT_SUPPORTED);
}
