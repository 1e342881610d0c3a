#include "framework/Wnd.h"

#include <vector>

namespace {
// The window property that links a window the framework created to its object.
constexpr char kObjectProperty[] = "QuelorSetup.CWnd";
}  // namespace

std::string CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthA(hwnd_);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = ::GetWindowTextA(hwnd_, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

bool CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    return static_cast<CWnd*>(::GetPropA(hwnd, kObjectProperty));
}

void CWnd::AttachPermanent(HWND hwnd) {
    hwnd_ = hwnd;
    ::SetPropA(hwnd, kObjectProperty, this);
}

void CWnd::DetachPermanent() {
    if (hwnd_) ::RemovePropA(hwnd_, kObjectProperty);
    hwnd_ = nullptr;
}
