#include "framework/Dialog.h"

#include <cstdio>
#include <utility>

#include "framework/MessageLoop.h"
#include "framework/WinApp.h"

CDialog::CDialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

// By now the derived part of the object is gone: the window must not reach it while it is
// destroyed, so it is cut loose from the object first and left to the dialog manager.
CDialog::~CDialog() {
    if (!hwnd_) return;
    HWND hwnd = hwnd_;
    DetachPermanent();
    ::DestroyWindow(hwnd);
}

BOOL CDialog::Create(UINT templateId, HWND parent) {
    templateId_ = templateId;
    parent_ = parent;
    modal_ = false;
    endRequested_ = false;
    HWND hwnd = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_),
                                     parent_, DialogProc, reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    modal_ = true;
    endRequested_ = false;
    result_ = -1;
    HWND owner = parent_;
    HWND hwnd = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId_),
                                     owner, DialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        modal_ = false;
        return -1;
    }
    // The initialisation may already have ended the dialog.
    bool ownerDisabled = false;
    if (!endRequested_) {
        if (owner && ::IsWindowEnabled(owner)) {
            ::EnableWindow(owner, FALSE);
            ownerDisabled = true;
        }
        if (hwnd_ && !IsWindowVisible()) ShowWindow(SW_SHOW);
    }

    MSG msg;
    while (!endRequested_ && hwnd_) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) break;
        if (got == 0) {
            // Leave the quit message for the loop that owns the thread.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        framework::TranslateAndDispatch(&msg);
    }

    // Re-enable the owner before the dialog goes, so that activation returns to it.
    if (ownerDisabled) ::EnableWindow(owner, TRUE);
    DestroyWindow();
    modal_ = false;
    return result_;
}

BOOL CDialog::DestroyWindow() {
    if (!hwnd_) return FALSE;
    return ::DestroyWindow(hwnd_);
}

void CDialog::EndDialog(INT_PTR result) {
    result_ = result;
    endRequested_ = true;
    if (!hwnd_) return;
    if (modal_) {
        // Wakes the modal loop, which may be waiting in GetMessage.
        ::PostMessageA(hwnd_, WM_NULL, 0, 0);
    } else {
        ShowWindow(SW_HIDE);
    }
}

HFONT CDialog::AdoptFont(UniqueFont font) {
    HFONT handle = font.get();
    if (handle) fonts_.push_back(std::move(font));
    return handle;
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(*this, saveAndValidate != FALSE);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    // The dialog manager turns Tab, arrows, Enter and Escape into dialog navigation
    // and commands; only for this dialog's own windows.
    if (!hwnd_ || (msg->hwnd != hwnd_ && !::IsChild(hwnd_, msg->hwnd))) return FALSE;
    return ::IsDialogMessageA(hwnd_, msg);
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return false;
            switch (LOWORD(wParam)) {
                case IDOK:
                    OnOK();
                    return true;
                case IDCANCEL:
                    OnCancel();
                    return true;
                default:
                    // Commands the dialog does not handle go on to the application.
                    if (lParam == 0 && CurrentApp()) return CurrentApp()->OnCmdMsg(LOWORD(wParam));
                    return false;
            }
        case WM_SETCURSOR:
            if (CurrentApp() && CurrentApp()->IsWaitCursorOn()) {
                CurrentApp()->RestoreWaitCursor();
                result = TRUE;
                return true;
            }
            return false;
        default:
            return false;
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->AttachPermanent(hwnd);
    } else {
        dialog = static_cast<CDialog*>(FromHandlePermanent(hwnd));
    }
    if (!dialog) return FALSE;
    // An exception must not unwind through the system's dialog manager. The handler was
    // left halfway, so the dialog's state is unknown: a modal dialog ends (with -1, as when
    // it cannot be created) rather than running on half initialised.
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        std::fputs("unexpected exception in a dialog handler\n", stderr);
        if (dialog->modal_) dialog->EndDialog(-1);
        return FALSE;
    }
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return OnInitDialog();
    if (message == WM_NCDESTROY) {
        DetachPermanent();
        endRequested_ = true;
        return FALSE;
    }
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, result)) return FALSE;
    switch (message) {
        // These return their result directly instead of through DWLP_MSGRESULT.
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_QUERYDRAGICON:
        case WM_VKEYTOITEM:
            return static_cast<INT_PTR>(result);
        default:
            ::SetWindowLongPtrA(hwnd_, DWLP_MSGRESULT, result);
            return TRUE;
    }
}
