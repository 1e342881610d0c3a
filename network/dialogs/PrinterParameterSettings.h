#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "network/dialogs/RescanThread.h"
#include "network/protocol/RebootExchange.h"
#include "network/protocol/SettingsExchange.h"

// "Printer New IP Settings": gives one discovered printer a new fixed address, subnet mask and
// gateway by broadcast, reboots it, and searches for it again so that the printer can be listed
// under its new address. Ends with IDCANCEL, by Return or by itself once the rescan is done;
// `rescanned` and the rescan store tell its opener what the rescan heard.
class PrinterParameterSettings : public CDialogEx {
public:
    static constexpr DWORD kSettingsLimitMilliseconds = 20000;
    static constexpr DWORD kSettingsBlinkMilliseconds = 500;
    static constexpr DWORD kRebootMilliseconds = 15000;
    static constexpr DWORD kRebootBlinkMilliseconds = 200;

    PrinterParameterSettings(std::string ipAddress, std::string subnetMask, std::string gateway,
                             std::string dhcpState, std::string dhcpTimeout,
                             std::string hardwareAddress, HWND owner = nullptr);
    ~PrinterParameterSettings() override;

    BOOL OnInitDialog() override;
    // Set Parameters.
    void OnOK() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    CEdit ipAddressEdit;
    CEdit subnetMaskEdit;
    CEdit gatewayEdit;
    CEdit dhcpTimeoutEdit;

protected:
    void DoDataExchange(CDataExchange* dx) override;

private:
    bool OnPaint(WPARAM, LPARAM, LRESULT&);
    bool OnDestroy(WPARAM, LPARAM, LRESULT&);

    std::string ipAddress_;
    std::string subnetMask_;
    std::string gateway_;
    std::string dhcpState_;
    std::string dhcpTimeout_;
    std::string hardwareAddress_;

    net::SettingsExchange settings_;
    net::RebootExchange reboot_;
    RescanThread rescan_;
};
