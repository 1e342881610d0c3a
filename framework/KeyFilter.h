#pragma once

#include <windows.h>

// The setup windows do not let Escape close them: the user leaves through Cancel, which
// asks first. Their PreTranslateMessage consumes the key before the dialog manager
// turns it into IDCANCEL.
inline bool IsEscapeKeyDown(const MSG* msg) {
    return msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE;
}
