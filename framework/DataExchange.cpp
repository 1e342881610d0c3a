#include "framework/DataExchange.h"

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
