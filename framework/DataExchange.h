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

// Exchanges a list box's selection by its text: reading gives the selected entry's text
// (empty when nothing is selected); writing selects the first entry that begins with
// `value`, and leaves the selection alone while `value` is empty.
void ExchangeListBoxSelection(CDataExchange* dx, int id, std::string& value);
