#include "network/dialogs/RescanThread.h"

#include "framework/NoticeDialog.h"
#include "framework/Waits.h"
#include "network/dialogs/NetworkWide.h"
#include "network/protocol/RescanListener.h"
#include "resource.h"

namespace {
constexpr char kRescanning[] = "Rescanning on-line Printers.\n\nPlease wait...";
constexpr char kRescanningBlink[] = "Rescanning on-line Printers.\n\n";
}  // namespace

RescanThread::RescanThread() : stop_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

bool RescanThread::Start(HWND dialog) {
    Stop();
    ::ResetEvent(stop_.get());
    return thread_.start([this, dialog] { Run(dialog); });
}

void RescanThread::Stop() {
    ::SetEvent(stop_.get());
    // The rescan's notice and the dialog live on different threads: while the notice goes, the
    // system may send the dialog's thread activation messages. They are handled here, so that
    // the rescan thread never waits for this thread while this thread waits for it.
    while (thread_.running()) {
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    }
    thread_.join();
}

void RescanThread::Run(HWND dialog) {
    CNoticeDialog notice(IDD_BUSY_NOTICE, IDC_NOTICE_TEXT, kRescanning);
    notice.Create();
    auto& store = Network().rescanStore;
    bool stopped = false;
    for (int attempt = 0; attempt < kAttempts && !stopped && store.count() == 0; ++attempt) {
        net::RescanListener listener;
        listener.start(store);
        bool lit = true;
        for (DWORD waited = 0; waited < kAttemptMilliseconds; waited += kBlinkMilliseconds) {
            notice.SetText(lit ? kRescanning : kRescanningBlink);
            lit = !lit;
            if (!framework::WaitHandlingMessages(kBlinkMilliseconds, stop_.get())) {
                stopped = true;
                break;
            }
        }
        listener.stop();
    }
    notice.ShowWindow(SW_HIDE);
    if (stopped) return;
    Network().rescanned.store(1);
    // The dialog's owner joins this thread before the dialog's window goes, so the window this
    // reaches is still the dialog's.
    ::PostMessageA(dialog, WM_PAINT, 0, 0);
}
