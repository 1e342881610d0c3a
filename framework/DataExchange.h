#pragma once

#include <string>

class CDialog;
class CWnd;

// One pass of dialog data exchange: from the controls into the members
// (saveAndValidate) or from the members into the controls.
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saveAndValidate)
        : dialog_(dialog), saveAndValidate_(saveAndValidate) {}

    CDialog& Dialog() const { return dialog_; }
    bool SaveAndValidate() const { return saveAndValidate_; }

private:
    CDialog& dialog_;
    bool saveAndValidate_;
};

// Binds a control member to the dialog's control `id` (the first pass attaches it).
void BindControl(CDataExchange* dx, int id, CWnd& control);

// Exchanges the whole text of control `id` with `value`.
void ExchangeText(CDataExchange* dx, int id, std::string& value);
