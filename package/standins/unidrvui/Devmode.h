#pragma once

#include <windows.h>

// The driver's device mode: the public DEVMODEW followed by the receipt options that
// only this driver reads (dmDriverExtra bytes). The spooler stores the whole record as
// the printer's default and hands it back with every job.

enum class PaperCut : DWORD { None = 0, Partial = 1, Full = 2 };
enum class CashDrawer : DWORD { NotOpened = 0, OpenBefore = 1, OpenAfter = 2 };

struct ReceiptOptions {
    DWORD signature;
    PaperCut paperCut;
    CashDrawer cashDrawer;
};

// Marks private data written by this driver, so that a record of another driver left
// in dmDriverExtra is never taken for ours ("ZNTR").
inline constexpr DWORD kReceiptOptionsSignature = 0x52544E5A;

struct DriverDevmode {
    DEVMODEW publicPart;
    ReceiptOptions privatePart;
};
static_assert(sizeof(DriverDevmode) == sizeof(DEVMODEW) + sizeof(ReceiptOptions),
              "the private part must follow the public one without padding");

inline constexpr DWORD kDriverDevmodeSize = sizeof(DriverDevmode);

// The fields of the public part that this driver fills and honours.
inline constexpr DWORD kDevmodeFields = DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH |
                                        DM_PAPERWIDTH | DM_COPIES | DM_DEFAULTSOURCE |
                                        DM_PRINTQUALITY | DM_YRESOLUTION | DM_FORMNAME;

// Roll paper 80 x 297 mm, 203 dpi, portrait, one copy, partial cut, drawer closed.
DriverDevmode DefaultDevmode(const wchar_t* deviceName);

// Takes over from `input` the supported settings that it marks in dmFields and that
// lie inside its dmSize; values this printer cannot do are left as they were.
void MergeDevmode(DriverDevmode& devmode, const DEVMODEW& input);
