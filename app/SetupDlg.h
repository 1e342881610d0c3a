#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/KeyFilter.h"
#include "ports/SetupQuestions.h"

// The main setup window: printer name, one of five port kinds, the default-printer
// choice; OK installs, Cancel asks before leaving.
class CSetupDlg : public CEscapeProofDialog {
public:
    explicit CSetupDlg(HWND parent = nullptr);

    BOOL OnInitDialog() override;
    void OnCancel() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // Draws the program icon centred in the minimised window's client area.
    void PaintMinimisedIcon(HDC dc) const;

protected:
    void DoDataExchange(CDataExchange* dx) override;

private:
    bool OnPaint(WPARAM, LPARAM, LRESULT& result);
    bool OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result);
    void OnTabSelectionChanged(NMHDR*, LRESULT* result);
    void OnListClicked(NMHDR*, LRESULT* result);
    // The installation sequence.
    void OnOkClicked(UINT id);
    void InstallForUsbPrinter();
    void InstallThroughPortSelection();
    void OnCancelClicked(UINT id);
    void OnMakeDefaultClicked(UINT id);
    void OnPortKindClicked(UINT id);
    BOOL CountInstalledPrinters();

    CTabCtrl modelTab_;
    CListCtrl modelList_;
    CStatic printerNameLabel_;
    HICON icon_;  // from LoadIcon, which shares it: nothing to free
    CEdit printerNameEdit_;
    CButton usbRadio_;
    CButton makeDefaultCheck_;
    bool sequenceRunning_ = false;
};

inline constexpr char kDefaultPrinterName[] = "Quelor Thermal Receipt Printer";
inline constexpr char kSetupDialogCaption[] = "ZNT Series Printer Driver - Setup";
