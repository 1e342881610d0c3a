#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/Wnd.h"

// Thin wrappers over the standard and common controls: each call sends one message.

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

class CEdit : public CWnd {
public:
    void SetReadOnly(BOOL readOnly = TRUE) const { SendMessage(EM_SETREADONLY, readOnly); }
};

class CStatic : public CWnd {};

class CListBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(LB_SETCURSEL, index)); }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    int AddString(const std::string& text) const {
        return static_cast<int>(
            SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int InsertString(int index, const std::string& text) const {
        return static_cast<int>(
            SendMessage(LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str())));
    }
    // Selects the first entry, after `after`, whose text begins with `prefix`.
    int SelectString(int after, const std::string& prefix) const {
        return static_cast<int>(
            SendMessage(LB_SELECTSTRING, after, reinterpret_cast<LPARAM>(prefix.c_str())));
    }
    std::string GetText(int index) const {
        LRESULT length = SendMessage(LB_GETTEXTLEN, index);
        if (length == LB_ERR) return {};
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        LRESULT copied = SendMessage(LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
        return copied == LB_ERR ? std::string() : std::string(buffer.data(), copied);
    }
    void* GetItemDataPtr(int index) const {
        return reinterpret_cast<void*>(SendMessage(LB_GETITEMDATA, index));
    }
    int SetItemDataPtr(int index, void* data) const {
        return static_cast<int>(SendMessage(LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(data)));
    }
};

class CComboBox : public CWnd {
public:
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    int AddString(const std::string& text) const {
        return static_cast<int>(
            SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    std::string GetLBText(int index) const {
        LRESULT length = SendMessage(CB_GETLBTEXTLEN, index);
        if (length == CB_ERR) return {};
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        LRESULT copied = SendMessage(CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
        return copied == CB_ERR ? std::string() : std::string(buffer.data(), copied);
    }
};

class CListCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
    int InsertItem(const LVITEMA& item) const {
        return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    }
    DWORD SetExtendedStyle(DWORD mask, DWORD style) const {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, style));
    }
    DWORD GetExtendedStyle() const {
        return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
    }
    BOOL SetItemState(int index, UINT state, UINT mask) const {
        LVITEMA item{};
        item.state = state;
        item.stateMask = mask;
        return static_cast<BOOL>(
            SendMessage(LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&item)));
    }
    UINT GetItemState(int index, UINT mask) const {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, index, mask));
    }
    DWORD SetIconSpacing(int cx, int cy) const {
        return static_cast<DWORD>(SendMessage(LVM_SETICONSPACING, 0, MAKELPARAM(cx, cy)));
    }
};

class CTabCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
    // Inserts a tab whose only attribute is its text.
    int InsertItem(int index, const std::string& text) const {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(text.c_str());
        return static_cast<int>(
            SendMessage(TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&item)));
    }
    std::string GetItemText(int index) const {
        char buffer[256] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = buffer;
        item.cchTextMax = sizeof buffer;
        if (!SendMessage(TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item))) return {};
        return item.pszText ? std::string(item.pszText) : std::string();
    }
};
