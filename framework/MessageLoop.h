#pragma once

#include <windows.h>

namespace framework {

// Gives the framework windows that contain msg's window (innermost first) the chance to
// handle it before it is dispatched. Every message loop of the program goes through this,
// so a modeless window shown during a modal dialog filters its own keys too.
bool PreTranslate(MSG* msg);

// Handles one message the way the framework's loops do (pre-translation, then dispatch).
void TranslateAndDispatch(MSG* msg);

// Handles every message already waiting for this thread, without blocking; false when
// a WM_QUIT was seen (it is posted again for the outer loop).
bool PumpWaitingMessages();

}  // namespace framework
