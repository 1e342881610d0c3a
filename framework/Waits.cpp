#include "framework/Waits.h"

#include "framework/MessageLoop.h"

namespace framework {
namespace {

DWORD Remaining(ULONGLONG deadline) {
    const ULONGLONG now = ::GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
}

}  // namespace

void WaitPaintingOnly(DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    for (DWORD left = milliseconds; left > 0; left = Remaining(deadline)) {
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, left, QS_PAINT | QS_SENDMESSAGE) !=
            WAIT_OBJECT_0) {
            continue;
        }
        // Messages other threads send are no input, and their senders wait for the answer.
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
            ::DispatchMessageA(&msg);
        }
    }
}

void DiscardInput() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

bool WaitHandlingMessages(DWORD milliseconds, HANDLE stop) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    for (DWORD left = milliseconds; left > 0; left = Remaining(deadline)) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &stop, FALSE, left, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) return false;
        if (woken == WAIT_OBJECT_0 + 1) PumpWaitingMessages();
    }
    return ::WaitForSingleObject(stop, 0) != WAIT_OBJECT_0;
}

}  // namespace framework
