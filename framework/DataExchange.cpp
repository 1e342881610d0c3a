#include "framework/DataExchange.h"

#include "framework/Controls.h"
#include "framework/Dialog.h"

void BindControl(CDataExchange* dx, int id, CWnd& control) {
    if (!control.GetSafeHwnd()) control.Attach(dx->Dialog().GetDlgItem(id));
}

void ExchangeText(CDataExchange* dx, int id, std::string& value) {
    CWnd control(dx->Dialog().GetDlgItem(id));
    if (dx->SaveAndValidate()) {
        value = control.GetWindowText();
    } else {
        control.SetWindowText(value);
    }
}

void ExchangeListBoxSelection(CDataExchange* dx, int id, std::string& value) {
    CListBox list;
    list.Attach(dx->Dialog().GetDlgItem(id));
    if (dx->SaveAndValidate()) {
        int selected = list.GetCurSel();
        value = selected == LB_ERR ? std::string() : list.GetText(selected);
    } else if (!value.empty()) {
        list.SelectString(-1, value);
    }
}
