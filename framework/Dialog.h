#pragma once

#include <vector>

#include "framework/DataExchange.h"
#include "framework/Wnd.h"
#include "platform/UniqueHandle.h"

// A dialog box built from a numbered template in the program's resources, run modally
// (DoModal) or modeless (Create). The framework's loops call PreTranslateMessage before
// dispatching, and the dialog procedure routes every message through OnWndMsg.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr);
    ~CDialog() override;

    // Runs the dialog until EndDialog; returns the value given to it (-1 when the
    // template cannot be loaded or the thread is quitting).
    virtual INT_PTR DoModal();

    // Creates the dialog modeless; its template decides whether it shows at once.
    BOOL Create(UINT templateId, HWND parent = nullptr);
    BOOL DestroyWindow();

    void EndDialog(INT_PTR result);

    // Data exchange between the controls and the members (true: controls -> members).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Keeps a font that the dialog's controls use until the window is gone; returns it.
    HFONT AdoptFont(UniqueFont font);

    void CheckRadioButton(int firstId, int lastId, int checkId) const {
        ::CheckRadioButton(hwnd_, firstId, lastId, checkId);
    }

    virtual BOOL OnInitDialog();
    // The default button: reads the controls into the members, then ends with IDOK.
    virtual void OnOK();
    // The cancel command (Cancel button, Escape, close box): ends with IDCANCEL.
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* msg) override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    virtual void DoDataExchange(CDataExchange* dx);

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    UINT templateId_;
    HWND parent_;
    bool modal_ = false;
    bool endRequested_ = false;
    INT_PTR result_ = -1;
    // Destroyed after the destructor's body has destroyed the window.
    std::vector<UniqueFont> fonts_;
};

// The dialog class of the network tools; it adds nothing the program needs beyond
// CDialog, but keeps the class tree those dialogs are written against.
class CDialogEx : public CDialog {
public:
    using CDialog::CDialog;
};
