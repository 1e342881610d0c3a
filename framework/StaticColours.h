#pragma once

#include <windows.h>

// The answer to WM_CTLCOLORSTATIC for a static control whose text has a colour of its own: the
// text in `colour` over the dialog's face (or, when `transparent`, over whatever lies behind),
// and the dialog's own brush, as the default handling would give.
inline LRESULT ColouredStaticText(WPARAM dc, COLORREF colour, bool transparent) {
    HDC hdc = reinterpret_cast<HDC>(dc);
    ::SetTextColor(hdc, colour);
    if (transparent) {
        ::SetBkMode(hdc, TRANSPARENT);
    } else {
        ::SetBkColor(hdc, ::GetSysColor(COLOR_3DFACE));
    }
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_3DFACE));
}
