#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "platform/UniqueHandle.h"

// Waits for the USB printer to be connected and switched on, then runs the USB
// installation steps. It has no buttons: the user leaves it through its close box, which
// asks first and ends the whole setup.
class CDeviceChangeNotification : public CDialog {
public:
    explicit CDeviceChangeNotification(HWND parent = nullptr);

    BOOL OnInitDialog() override;
    // Enter: closes the dialog once a printer has arrived.
    void OnOK() override;
    void OnCancel() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;

private:
    bool OnDeviceChange(WPARAM event, LPARAM data, LRESULT& result);
    void InstallForArrivedPrinter();

    CStatic promptText_;
    UniqueDeviceNotification notification_;
};
