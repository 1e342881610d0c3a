#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Mailbox.h"
#include "network/protocol/DiscoveryListener.h"

// "Add New TCP/IP Port": lists the printers that answer the discovery broadcast, creates a
// Standard TCP/IP port for the chosen one, and opens the settings, status and self-test tools
// for it. It always ends with IDCANCEL; whoever opened it learns of a new port by listing the
// ports again.
class AddNewTCPIPPort : public CDialogEx {
public:
    explicit AddNewTCPIPPort(HWND owner = nullptr);
    ~AddNewTCPIPPort() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    // One printer's reply: lists its address and port, keeps the rest in the printer tables.
    void OnReply(const std::string& reply);

    CComboBox addressList;
    CComboBox portList;
    CStatic noticeLine;

protected:
    void DoDataExchange(CDataExchange* dx) override;

private:
    bool OnRepliesArrived(WPARAM, LPARAM, LRESULT&);
    bool OnDestroy(WPARAM, LPARAM, LRESULT&);
    bool OnControlColour(WPARAM, LPARAM, LRESULT&);
    void OnAddressSelected(UINT id);
    void OnPortSelected(UINT id);
    void OnNewIpSettings(UINT id);
    void OnPrinterStatus(UINT id);
    void OnSelfTestPage(UINT id);

    // The selected entry of the address list, or a warning and nothing when there is none.
    bool SelectedAddress(int& position, std::string& address);
    void StopListening();

    Mailbox<std::string> replies_;
    net::DiscoveryListener listener_;
};
