#pragma once

#include <windows.h>

// The network dialogs' box for input that is missing: captioned "Warning", an OK button.
int ShowWarning(HWND owner, const char* text);
