#pragma once

#include <windows.h>

#include <string>

// A window the program talks to. Holds one HWND it does not own: the window belongs to
// the system (or to the dialog that created it) and CWnd only names it.
class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hwnd) : hwnd_(hwnd) {}
    virtual ~CWnd() = default;

    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND GetSafeHwnd() const { return hwnd_; }
    operator HWND() const { return hwnd_; }

    void Attach(HWND hwnd) { hwnd_ = hwnd; }
    HWND Detach() {
        HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        return hwnd;
    }

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(hwnd_, message, wParam, lParam);
    }
    BOOL ShowWindow(int command) const { return ::ShowWindow(hwnd_, command); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(hwnd_, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(hwnd_); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(hwnd_); }
    BOOL IsIconic() const { return ::IsIconic(hwnd_); }
    HWND SetFocus() const { return ::SetFocus(hwnd_); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    void SetWindowText(const std::string& text) const { ::SetWindowTextA(hwnd_, text.c_str()); }
    std::string GetWindowText() const;

    // Message-map lookup: a window class answers the messages it handles and reports
    // whether it did; `result` is the message's result when it did.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Called by the framework's message loops before a message is dispatched; true
    // means the message was handled and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // The framework object behind a window that the framework created, if any.
    static CWnd* FromHandlePermanent(HWND hwnd);

protected:
    // Makes FromHandlePermanent find this object for `hwnd` (and forget it for nullptr).
    void AttachPermanent(HWND hwnd);
    void DetachPermanent();

    HWND hwnd_ = nullptr;
};
