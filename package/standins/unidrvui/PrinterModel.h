#pragma once

#include <windows.h>

#include <array>

// What the ZNT-Series printers can do, as Z410.GPD describes them: the configuration
// DLL answers the spooler from the same facts, so both halves of the driver agree.
namespace printer_model {

inline constexpr short kResolutionDpi = 203;
inline constexpr short kMaxCopies = 255;
inline constexpr DWORD kDriverVersion = 0x0500;

// Sizes are in tenths of a millimetre, the unit of DEVMODEW and DeviceCapabilities.
// The ids are the driver-defined paper numbers of the model file (*OptionID).
struct RollPaper {
    WORD id;
    const wchar_t* name;
    short widthTenthsMm;
    short lengthTenthsMm;
};

inline constexpr std::array<RollPaper, 2> kPapers{{
    {DMPAPER_USER + 1, L"Roll Paper 80 x 297 mm", 800, 2970},
    {DMPAPER_USER + 2, L"Roll Paper 80 x 3276 mm", 800, 32760},
}};
inline constexpr const RollPaper& kDefaultPaper = kPapers[0];

inline constexpr WORD kRollBin = DMBIN_ONLYONE;
inline constexpr const wchar_t* kRollBinName = L"Roll Paper";

// The model file offers portrait and landscape turned by 270 degrees.
inline constexpr DWORD kLandscapeRotation = 270;

inline const RollPaper* FindPaper(short id) {
    for (const RollPaper& paper : kPapers) {
        if (paper.id == id) return &paper;
    }
    return nullptr;
}

}  // namespace printer_model
