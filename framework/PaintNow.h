#pragma once

#include <windows.h>

// Paints `window` and its children at once and puts the result on the screen, for a
// window shown just before work that keeps its thread from handling messages (a busy
// notice). Only the window's own paint requests are handled here, so no input or other
// message is dispatched meanwhile. Asking the queue for them also matters where the
// window system composes windows off-screen and hands them to the screen only when the
// thread looks at its messages.
inline void PaintNow(HWND window) {
    ::UpdateWindow(window);
    MSG msg;
    while (::PeekMessageA(&msg, window, WM_PAINT, WM_PAINT, PM_REMOVE)) ::DispatchMessageA(&msg);
}
