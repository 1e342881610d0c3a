#include "ports/PortSelection.h"

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <vector>

#include "framework/MessageMap.h"
#include "framework/PaintNow.h"
#include "framework/WinApp.h"
#include "install/FileCopy.h"
#include "install/Installer.h"
#include "network/dialogs/AddNewTCPIPPort.h"
#include "platform/SpoolerFetch.h"
#include "platform/SystemCalls.h"
#include "ports/SetupQuestions.h"
#include "resource.h"
#include "state/ProcessWide.h"

namespace {

constexpr char kCaption[] = "ZNT Printer Driver - Setup";
constexpr char kEnumerationFailedAtStart[] = "Unexpected error  occured while port enumeration.";
constexpr char kEnumerationFailedAfterCreate[] = "Unexpected error occured while port enumeration.";
constexpr char kPortNotSupported[] = "Port not supported";
constexpr char kConfigurationFailed[] =
    "An error occurred during port configuration. The port may be in use or may not exist. ";
constexpr char kInstallingNotice[] = "Installing.......\n\nPlease wait";

// The port the list selects by itself when the spooler has it.
constexpr char kPreselectedPort[] = "LPT1:";

bool StartsWithCom(const std::string& text) {
    return text.compare(0, 3, "COM") == 0;
}

const char* OrEmpty(const char* text) {
    return text ? text : "";
}

void RestoreNormalCursor() {
    if (CurrentApp()) CurrentApp()->RestoreWaitCursor();
}

}  // namespace

CPortSelection::CPortSelection(HWND parent) : CEscapeProofDialog(IDD_PORT_SELECTION, parent) {}

void CPortSelection::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    BindControl(dx, IDC_PORT_LIST, portList_);
    ExchangeText(dx, IDC_CURRENT_PORT, currentPortText);
    BindControl(dx, IDC_CURRENT_PORT, currentPortEdit_);
    ExchangeListBoxSelection(dx, IDC_PORT_LIST, listSelectionText);
}

bool CPortSelection::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    using Map = MessageMap<CPortSelection>;
    static const Map map{
        Map::Message(WM_DESTROY, &CPortSelection::OnDestroy),
        Map::Command(LBN_SELCHANGE, IDC_PORT_LIST, &CPortSelection::OnPortSelected),
        Map::Command(BN_CLICKED, IDC_PORT_SELECT_OK, &CPortSelection::OnOkClicked),
        Map::Command(BN_CLICKED, IDC_CONFIGURE_PORT, &CPortSelection::OnConfigurePortClicked),
        Map::Command(BN_CLICKED, IDC_CREATE_PORT, &CPortSelection::OnCreatePortClicked),
        Map::Command(BN_CLICKED, IDC_PORT_SELECT_CANCEL, &CPortSelection::OnCancelClicked),
        Map::Command(EN_CHANGE, IDC_CURRENT_PORT, &CPortSelection::OnCurrentPortChanged),
    };
    return map.Dispatch(this, message, wParam, lParam, result) ||
           CDialog::OnWndMsg(message, wParam, lParam, result);
}

BOOL CPortSelection::OnInitDialog() {
    CDialog::OnInitDialog();
    if (!ListPorts()) ReportEnumerationFailure(kEnumerationFailedAtStart);
    if (::lstrcmpiA(Process().setup.portKind.c_str(), "TCPIP") != 0) {
        ::ShowWindow(GetDlgItem(IDC_CREATE_PORT), SW_HIDE);
    }
    return TRUE;
}

int CPortSelection::ListPorts() {
    DWORD count = 0;
    std::vector<BYTE> records;
    SpoolerFetchResult fetched = FetchFromSpooler(
        [&count](BYTE* buffer, DWORD size, DWORD* needed) {
            return System().enumPorts(nullptr, 2, buffer, size, needed, &count);
        },
        records);
    // A first call that succeeds found no port at all: the list stays as it is.
    if (fetched == SpoolerFetchResult::FitInProbe) return 1;
    if (fetched == SpoolerFetchResult::Failed) return 0;

    EmptyList();
    // Never read past what the spooler wrote, whatever count it reports.
    count = std::min<DWORD>(count, static_cast<DWORD>(records.size() / sizeof(PORT_INFO_2A)));
    const auto* ports = reinterpret_cast<const PORT_INFO_2A*>(records.data());
    for (DWORD i = 0; i < count; ++i) {
        std::string name = OrEmpty(ports[i].pPortName);
        std::string text = name + " (" + OrEmpty(ports[i].pDescription) + ")";
        int index = portList_.InsertString(static_cast<int>(i), text);
        if (index < 0) continue;
        portNames_.push_back(std::make_unique<std::string>(name));
        portList_.SetItemDataPtr(index, portNames_.back()->data());
        if (name == kPreselectedPort) {
            UpdateData(TRUE);
            ChooseEntry(index);
            UpdateData(FALSE);
        }
    }
    UpdateData(FALSE);
    return 1;
}

void CPortSelection::EmptyList() {
    // The entries go before the names they point to.
    portList_.ResetContent();
    portNames_.clear();
}

void CPortSelection::ChooseEntry(int index) {
    portList_.SetCurSel(index);
    currentPortText = portList_.GetText(index);
    Process().selectedPort = SelectedEntryPort();
    ::EnableWindow(GetDlgItem(IDC_PORT_SELECT_OK), TRUE);
}

std::string CPortSelection::SelectedEntryText() const {
    int selected = portList_.GetCurSel();
    return selected == LB_ERR ? std::string() : portList_.GetText(selected);
}

std::string CPortSelection::SelectedEntryPort() const {
    int selected = portList_.GetCurSel();
    if (selected == LB_ERR) return {};
    void* data = portList_.GetItemDataPtr(selected);
    if (!data || data == reinterpret_cast<void*>(LB_ERR)) return {};
    return static_cast<const char*>(data);
}

void CPortSelection::OnPortSelected(UINT) {
    if (portList_.GetCurSel() == LB_ERR) return;
    UpdateData(TRUE);
    ChooseEntry(portList_.GetCurSel());
    UpdateData(FALSE);
}

void CPortSelection::OnOkClicked(UINT) {
    const SetupState& setup = Process().setup;
    // Nothing chosen (a machine without "LPT1:"), or an entry without a port name:
    // there is no port to install on.
    if (portList_.GetCurSel() == LB_ERR || Process().selectedPort.empty()) {
        AppMessageBox(kPortNotSupported);
        return;
    }
    const std::string& kind = setup.portKind;
    bool accepted =
        StartsWithCom(SelectedEntryText()) || kind == "TCPIP" || kind == "LPT" || kind == "UTP";
    if (!accepted) {
        AppMessageBox(kPortNotSupported);
        return;
    }

    bool usbPath = setup.usbSelected == 1;
    if (!usbPath) ShowWindow(SW_HIDE);
    CFileCopy notice(kInstallingNotice);
    notice.Create(IDD_BUSY_NOTICE);
    {
        CWaitCursor wait;
        notice.ShowWindow(SW_SHOW);
        // The installation keeps this thread from handling messages until it ends: the
        // notice must be painted now, or the user sees an empty frame.
        PaintNow(notice);
        RunInstaller();
        notice.ShowWindow(SW_HIDE);
    }
    RestoreNormalCursor();
    if (!usbPath) CDialog::OnOK();
}

void CPortSelection::InstallOnChosenPort() {
    bool usbPath = Process().setup.usbSelected == 1;
    if (!usbPath) ShowWindow(SW_HIDE);
    RunInstaller();
    RestoreNormalCursor();
    if (!usbPath) CDialog::OnOK();
}

void CPortSelection::RunInstaller() {
    CInstaller installer;
    SetupState& setup = Process().setup;
    if (setup.usbSelected == 1) {
        setup.portName += ":";
        installer.printerPort = setup.portName;
    } else {
        installer.printerPort = Process().selectedPort;
    }
    if (installer.printerPort.empty()) return;
    installer.InstallPrinter();
}

void CPortSelection::OnConfigurePortClicked(UINT) {
    if (portList_.GetCurSel() == LB_ERR) {
        AppMessageBox(kPortNotSupported);
        return;
    }
    std::string entry = SelectedEntryText();
    if (Process().setup.portKind == "COM") {
        if (StartsWithCom(entry)) {
            ConfigurePort(SelectedEntryPort());
        } else {
            AppMessageBox(kPortNotSupported);
        }
        return;
    }

    // Other kinds configure only ports named after an IPv4 address, as standard TCP/IP
    // ports are: the name is the entry text before " (".
    std::string name = entry.substr(0, entry.find('('));
    if (!name.empty()) name.pop_back();
    if (name.empty() || std::count(name.begin(), name.end(), '.') != 3) {
        AppMessageBox(kPortNotSupported);
        return;
    }
    ConfigurePort(name);
}

void CPortSelection::ConfigurePort(const std::string& portName) {
    std::vector<char> name(portName.begin(), portName.end());
    name.push_back('\0');
    if (!System().configurePort(nullptr, hwnd_, name.data())) AppMessageBox(kConfigurationFailed);
}

void CPortSelection::RunAddPortDialog() {
    // Owned by this dialog, which it disables while it runs: otherwise a second Create Port
    // would open a second search above it, and this one could not end before that one did.
    AddNewTCPIPPort addPort(hwnd_);
    addPort.DoModal();
}

void CPortSelection::OnCreatePortClicked(UINT) {
    RunAddPortDialog();
    // Whatever happened in the port creation, the list is read again: a new port shows
    // up, and "LPT1:" is selected again when the spooler has it.
    if (!ListPorts()) ReportEnumerationFailure(kEnumerationFailedAfterCreate);
}

void CPortSelection::ReportEnumerationFailure(const char* message) {
    System().messageBox(hwnd_, message, kCaption, MB_OKCANCEL);
    OnCancel();
}

void CPortSelection::OnOK() {}

void CPortSelection::OnCancel() {
    if (System().messageBox(hwnd_, kExitSetupQuestion, kCaption, MB_YESNO | MB_ICONQUESTION) ==
        IDYES) {
        CDialog::OnCancel();
    }
}

void CPortSelection::OnCancelClicked(UINT) {
    OnCancel();
}

void CPortSelection::OnCurrentPortChanged(UINT) {}

bool CPortSelection::OnDestroy(WPARAM, LPARAM, LRESULT&) {
    // The list goes with the window, and the port names with it. The control members
    // forget their windows, so that a later run binds the new ones.
    EmptyList();
    portList_.Detach();
    currentPortEdit_.Detach();
    return false;
}
