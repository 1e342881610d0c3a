#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/KeyFilter.h"

// The busy notice: a small captioned window with a setup picture and a message, shown
// around long work. The user cannot close it (no buttons, no system menu, Enter and
// Escape ignored); its owner hides and destroys it.
class CBusyNotice : public CEscapeProofDialog {
public:
    // Makes `message` the text of the next notice created. No window yet.
    explicit CBusyNotice(const std::string& message, HWND parent = nullptr);

    BOOL OnInitDialog() override;
    // Enter: the notice stays.
    void OnOK() override;

    CStatic messageControl;

protected:
    void DoDataExchange(CDataExchange* dx) override;
};
