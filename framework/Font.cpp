#include "framework/Font.h"

UniqueFont CreatePointFont(int tenthsOfPoint, const char* face) {
    LOGFONTA font{};
    HDC screen = ::GetDC(nullptr);
    font.lfHeight = -::MulDiv(tenthsOfPoint, ::GetDeviceCaps(screen, LOGPIXELSY), 720);
    ::ReleaseDC(nullptr, screen);
    font.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return UniqueFont(::CreateFontIndirectA(&font));
}
