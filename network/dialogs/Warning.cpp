#include "network/dialogs/Warning.h"

#include "platform/SystemCalls.h"

int ShowWarning(HWND owner, const char* text) {
    return System().messageBox(owner, text, "Warning", MB_OK);
}
