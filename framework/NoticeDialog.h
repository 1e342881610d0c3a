#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/KeyFilter.h"

// A modeless notice from a template with one text control, that belongs wholly to the thread
// that creates it: its text is given to it, not taken from anything another thread shares, so
// a worker thread can show, change and destroy its own notice while the program's other
// windows go on. The user cannot close it; its owner destroys it (its destruction does too).
class CNoticeDialog : public CEscapeProofDialog {
public:
    CNoticeDialog(UINT templateId, int textControlId, std::string text);

    BOOL Create(HWND parent = nullptr);
    void SetText(const std::string& text);

    BOOL OnInitDialog() override;
    // Enter: the notice stays.
    void OnOK() override {}
    void OnCancel() override {}
    // The notice may live on a worker thread: it handles nothing through the application, whose
    // state (the wait cursor, its commands) belongs to the program's own thread.
    bool OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }

protected:
    void DoDataExchange(CDataExchange* dx) override;

private:
    UINT templateId_;
    int textControlId_;
    std::string text_;
    CStatic textControl_;
};
