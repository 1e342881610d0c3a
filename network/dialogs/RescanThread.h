#pragma once

#include <windows.h>

#include "network/protocol/WorkerThread.h"
#include "platform/UniqueHandle.h"

// The search for printers after new settings, on a thread of its own that shows its own busy
// notice: up to five five-second attempts of the rescan listener, until one hears a reply. At
// its end it sets `rescanned` and posts the dialog a paint message, which closes the dialog.
// A stop ends it early; it then sets nothing and posts nothing.
class RescanThread {
public:
    static constexpr int kAttempts = 5;
    static constexpr DWORD kAttemptMilliseconds = 5000;
    static constexpr DWORD kBlinkMilliseconds = 500;

    RescanThread();
    ~RescanThread() { Stop(); }
    RescanThread(const RescanThread&) = delete;
    RescanThread& operator=(const RescanThread&) = delete;

    // Stops a rescan that still runs first.
    bool Start(HWND dialog);
    // Returns once the thread has ended and its notice is gone; after that nothing of the
    // rescan reaches the dialog.
    void Stop();

private:
    void Run(HWND dialog);

    UniqueKernelHandle stop_;
    net::WorkerThread thread_;
};
