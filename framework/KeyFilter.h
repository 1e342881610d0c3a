#pragma once

#include <windows.h>

#include "framework/Dialog.h"

// The setup windows do not let Escape close them: the user leaves through Cancel, which
// asks first.
inline bool IsEscapeKeyDown(const MSG* msg) {
    return msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE;
}

// A dialog whose pre-translation consumes Escape before the dialog manager turns it into
// IDCANCEL; the close box still sends the cancel command.
class CEscapeProofDialog : public CDialog {
public:
    using CDialog::CDialog;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (IsEscapeKeyDown(msg)) return TRUE;
        return CDialog::PreTranslateMessage(msg);
    }
};
