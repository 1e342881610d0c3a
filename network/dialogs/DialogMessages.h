#pragma once

#include <windows.h>

// The messages by which the network dialogs learn that their workers have posted something.
inline constexpr UINT kRepliesArrived = WM_APP + 1;
inline constexpr UINT kLampsChanged = WM_APP + 2;

// The box for input that is missing.
int ShowWarning(HWND owner, const char* text);
