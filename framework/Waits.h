#pragma once

#include <windows.h>

namespace framework {

// Waits the given time on a thread that keeps its windows but takes no input meanwhile: only
// paint messages and messages sent by other threads are handled, so that a notice shown during
// the wait stays drawn (and its changing text is seen) while clicks and keys wait in the queue.
void WaitPaintingOnly(DWORD milliseconds);

// Throws away the keyboard and mouse input that reached this thread's windows during a wait in
// which they took none, so that a click made then does not act afterwards.
void DiscardInput();

// Waits the given time while handling every message of this thread (its own windows stay
// alive), cut short when `stop` is signalled. False when the stop came first.
bool WaitHandlingMessages(DWORD milliseconds, HANDLE stop);

}  // namespace framework
