#include "framework/MessageLoop.h"

#include "framework/Wnd.h"

namespace framework {

bool PreTranslate(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd;) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd); wnd && wnd->PreTranslateMessage(msg)) {
            return true;
        }
        // Stop at the top-level window: its owner is another dialog, not a container.
        if (!(::GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) break;
        hwnd = ::GetParent(hwnd);
    }
    return false;
}

void TranslateAndDispatch(MSG* msg) {
    if (PreTranslate(msg)) return;
    ::TranslateMessage(msg);
    ::DispatchMessageA(msg);
}

bool PumpWaitingMessages() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateAndDispatch(&msg);
    }
    return true;
}

}  // namespace framework
