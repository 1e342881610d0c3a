#include "network/dialogs/AddNewTCPIPPort.h"

#include "framework/MessageMap.h"
#include "framework/StaticColours.h"
#include "framework/WinApp.h"
#include "network/dialogs/DialogMessages.h"
#include "network/dialogs/NetworkWide.h"
#include "network/dialogs/PortRecord.h"
#include "network/dialogs/PrinterParameterSettings.h"
#include "network/dialogs/PrinterStatusDialog.h"
#include "network/dialogs/Warning.h"
#include "network/protocol/DiscoveryReply.h"
#include "network/protocol/SelfTestExchange.h"
#include "resource.h"

namespace {

constexpr char kNoPrinterFound[] = "* No Printer Found! ";
// A blank rather than nothing: the line keeps its height and the notice is gone.
constexpr char kNoticeHidden[] = " ";
constexpr char kAddAddress[] = "Add Printer IP Address!!";
constexpr char kSetPort[] = "Set Printer Port!!";
constexpr COLORREF kNoticeColour = RGB(255, 0, 0);

}  // namespace

AddNewTCPIPPort::AddNewTCPIPPort(HWND owner) : CDialogEx(IDD_ADD_TCPIP_PORT, owner) {}

AddNewTCPIPPort::~AddNewTCPIPPort() {
    StopListening();
}

void AddNewTCPIPPort::DoDataExchange(CDataExchange* dx) {
    CDialogEx::DoDataExchange(dx);
    BindControl(dx, IDC_TCPIP_ADDRESS_LIST, addressList);
    BindControl(dx, IDC_TCPIP_PORT_LIST, portList);
    BindControl(dx, IDC_TCPIP_NOTICE, noticeLine);
}

BOOL AddNewTCPIPPort::OnInitDialog() {
    CDialogEx::OnInitDialog();
    noticeLine.SetWindowText(kNoPrinterFound);
    replies_.Open(hwnd_, kRepliesArrived);
    listener_.start([this](const std::string& reply) { replies_.Post(reply); });
    return TRUE;
}

bool AddNewTCPIPPort::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    using Map = MessageMap<AddNewTCPIPPort>;
    static const Map map{
        Map::Message(kRepliesArrived, &AddNewTCPIPPort::OnRepliesArrived),
        Map::Message(WM_DESTROY, &AddNewTCPIPPort::OnDestroy),
        Map::Message(WM_CTLCOLORSTATIC, &AddNewTCPIPPort::OnControlColour),
        Map::Command(CBN_SELCHANGE, IDC_TCPIP_ADDRESS_LIST, &AddNewTCPIPPort::OnAddressSelected),
        Map::Command(CBN_SELCHANGE, IDC_TCPIP_PORT_LIST, &AddNewTCPIPPort::OnPortSelected),
        Map::Command(BN_CLICKED, IDC_NEW_IP_SETTINGS, &AddNewTCPIPPort::OnNewIpSettings),
        Map::Command(BN_CLICKED, IDC_PRINTER_STATUS, &AddNewTCPIPPort::OnPrinterStatus),
        Map::Command(BN_CLICKED, IDC_SELF_TEST_PAGE, &AddNewTCPIPPort::OnSelfTestPage),
    };
    return map.Dispatch(this, message, wParam, lParam, result) ||
           CDialogEx::OnWndMsg(message, wParam, lParam, result);
}

bool AddNewTCPIPPort::OnRepliesArrived(WPARAM, LPARAM, LRESULT&) {
    for (const auto& reply : replies_.TakeAll()) OnReply(reply);
    return true;
}

// The listener goes with the window: a reply that arrives as the dialog closes is dropped.
bool AddNewTCPIPPort::OnDestroy(WPARAM, LPARAM, LRESULT&) {
    StopListening();
    return false;
}

void AddNewTCPIPPort::StopListening() {
    listener_.stop();
    replies_.Close();
}

bool AddNewTCPIPPort::OnControlColour(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_TCPIP_NOTICE) return false;
    result = ColouredStaticText(wParam, kNoticeColour, false);
    return true;
}

void AddNewTCPIPPort::OnReply(const std::string& reply) {
    const net::DiscoveryReply parsed = net::parseReply(reply);
    if (parsed.ip) {
        addressList.AddString(*parsed.ip);
        addressList.SetCurSel(0);
        noticeLine.SetWindowText(kNoticeHidden);
    }
    if (parsed.prnPort) {
        portList.AddString(*parsed.prnPort);
        portList.SetCurSel(0);
    }
    using Table = PrinterTables::Table;
    const std::pair<const std::optional<std::string>*, Table> fields[] = {
        {&parsed.subnetwork, Table::SubnetMask}, {&parsed.gateway, Table::Gateway},
        {&parsed.dhcp, Table::DhcpState},        {&parsed.dtimeout, Table::DhcpTimeout},
        {&parsed.mac, Table::HardwareAddress},
    };
    const int position = addressList.GetCount() - 1;
    if (position < 0) return;
    for (const auto& [value, table] : fields) {
        if (*value) Network().printerTables.Set(table, static_cast<std::size_t>(position), **value);
    }
}

void AddNewTCPIPPort::OnAddressSelected(UINT) {
    portList.SetCurSel(addressList.GetCurSel());
}

void AddNewTCPIPPort::OnPortSelected(UINT) {
    addressList.SetCurSel(portList.GetCurSel());
}

bool AddNewTCPIPPort::SelectedAddress(int& position, std::string& address) {
    // Text typed into the list's edit field names no discovered printer: only list entries
    // count, and without a selected one the dialog answers as for an empty list.
    position = addressList.GetCount() > 0 ? addressList.GetCurSel() : CB_ERR;
    if (position < 0) {
        ShowWarning(hwnd_, kAddAddress);
        return false;
    }
    address = addressList.GetLBText(position);
    return true;
}

void AddNewTCPIPPort::OnOK() {
    int position = 0;
    std::string address;
    if (!SelectedAddress(position, address)) return;
    const int portPosition = portList.GetCount() > 0 ? portList.GetCurSel() : CB_ERR;
    if (portPosition < 0) {
        ShowWarning(hwnd_, kSetPort);
        return;
    }
    if (const auto record = MakePortRecord(address, portList.GetLBText(portPosition))) {
        CWaitCursor wait;
        AddStandardTcpIpPort(*record);
    }
    EndDialog(IDCANCEL);
}

void AddNewTCPIPPort::OnNewIpSettings(UINT) {
    int position = 0;
    std::string address;
    if (!SelectedAddress(position, address)) return;
    const auto k = static_cast<std::size_t>(position);
    const auto& tables = Network().printerTables;
    using Table = PrinterTables::Table;
    {
        PrinterParameterSettings settings(
            address, tables.Get(Table::SubnetMask, k), tables.Get(Table::Gateway, k),
            tables.Get(Table::DhcpState, k), tables.Get(Table::DhcpTimeout, k),
            tables.Get(Table::HardwareAddress, k), hwnd_);
        settings.DoModal();
    }
    // The printer may now answer under another address: the lists start again from what the
    // rescan heard, when it heard anything.
    if (Network().rescanned.load() != 1) return;
    const auto heard = Network().rescanStore.replies();
    if (heard.empty()) return;
    addressList.ResetContent();
    portList.ResetContent();
    for (const auto& reply : heard) OnReply(reply);
}

void AddNewTCPIPPort::OnPrinterStatus(UINT) {
    int position = 0;
    std::string address;
    if (!SelectedAddress(position, address)) return;
    PrinterStatusDialog status(address, hwnd_);
    status.DoModal();
}

void AddNewTCPIPPort::OnSelfTestPage(UINT) {
    int position = 0;
    std::string address;
    if (!SelectedAddress(position, address)) return;
    CWaitCursor wait;
    net::runSelfTest(address);
}
