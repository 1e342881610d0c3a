#pragma once

#include <windows.h>

// TRUE when the calling thread's effective token is in the built-in Administrators
// group. A failing system call throws its Win32 error code (a DWORD).
BOOL IsRunAsAdmin();

// Starts the program again with the "runas" verb unless it already runs as an
// administrator: 0 when nothing was started (already elevated, the user declined, the
// check failed), 1 when an elevated copy started, otherwise the launch's error code.
DWORD RelaunchElevated();

// "<step> failed w/err 0x<code>" in an error box captioned "Error".
void ShowFailureMessage(const char* stepName, DWORD error);
