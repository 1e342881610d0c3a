#pragma once

#include <windows.h>

// The messages by which the network dialogs learn that their workers have posted something.
inline constexpr UINT kRepliesArrived = WM_APP + 1;
inline constexpr UINT kLampsChanged = WM_APP + 2;
