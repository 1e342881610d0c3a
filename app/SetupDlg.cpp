#include "app/SetupDlg.h"

#include <cstdio>
#include <vector>

#include <setupapi.h>

#include "app/Elevation.h"
#include "app/HostProbe.h"
#include "app/UsbPrinterDevice.h"
#include "framework/MessageMap.h"
#include "platform/SpoolerFetch.h"
#include "framework/PaintNow.h"
#include "framework/WinApp.h"
#include "install/FileCopy.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemCalls.h"
#include "ports/DeviceChangeNotification.h"
#include "ports/PortSelection.h"
#include "resource.h"
#include "state/ProcessWide.h"

namespace {

// The five port kinds; clicking one clears the other four.
constexpr int kPortKindRadios[] = {IDC_PORT_SERIAL, IDC_PORT_TCPIP, IDC_PORT_USB, IDC_PORT_LPT,
                                   IDC_PORT_UTP};

// The kinds the port selection path installs, in the order OK reads their buttons.
struct PortKindRadio {
    int radio;
    const char* kind;
};
constexpr PortKindRadio kPortKinds[] = {{IDC_PORT_SERIAL, "COM"},
                                        {IDC_PORT_TCPIP, "TCPIP"},
                                        {IDC_PORT_LPT, "LPT"},
                                        {IDC_PORT_UTP, "UTP"}};

constexpr char kVirtualComNotice[] = "Installing Virtual COM driver.\n\nPlease wait...";
constexpr char kVirtualComInfX86[] = "x86\\ousb_dev_serial_x86.inf";
constexpr char kVirtualComInfX64[] = "x64\\ousb_dev_serial_x64.inf";
constexpr char kUsbHardwareId[] = "USB\\VID_1CBE&PID_0002";

constexpr DWORD kGridLinesAndFullRowSelect = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;
constexpr int kIconSpacingX = 350;

}  // namespace

CSetupDlg::CSetupDlg(HWND parent)
    : CEscapeProofDialog(IDD_SETUP_DIALOG, parent),
      icon_(::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

void CSetupDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    BindControl(dx, IDC_MODEL_TAB, modelTab_);
    BindControl(dx, IDC_MODEL_LIST, modelList_);
    BindControl(dx, IDC_PRINTER_NAME_LABEL, printerNameLabel_);
    BindControl(dx, IDC_PRINTER_NAME, printerNameEdit_);
    BindControl(dx, IDC_PORT_USB, usbRadio_);
    BindControl(dx, IDC_MAKE_DEFAULT, makeDefaultCheck_);
}

bool CSetupDlg::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    using Map = MessageMap<CSetupDlg>;
    static const Map map{
        Map::Message(WM_PAINT, &CSetupDlg::OnPaint),
        Map::Message(WM_QUERYDRAGICON, &CSetupDlg::OnQueryDragIcon),
        Map::Notify(TCN_SELCHANGE, IDC_MODEL_TAB, &CSetupDlg::OnTabSelectionChanged),
        Map::Command(BN_CLICKED, IDOK, &CSetupDlg::OnOkClicked),
        Map::Command(BN_CLICKED, IDCANCEL, &CSetupDlg::OnCancelClicked),
        Map::Notify(NM_CLICK, IDC_MODEL_LIST, &CSetupDlg::OnListClicked),
        Map::Command(BN_CLICKED, IDC_MAKE_DEFAULT, &CSetupDlg::OnMakeDefaultClicked),
        Map::Command(BN_CLICKED, IDC_PORT_SERIAL, &CSetupDlg::OnPortKindClicked),
        Map::Command(BN_CLICKED, IDC_PORT_TCPIP, &CSetupDlg::OnPortKindClicked),
        Map::Command(BN_CLICKED, IDC_PORT_USB, &CSetupDlg::OnPortKindClicked),
        Map::Command(BN_CLICKED, IDC_PORT_LPT, &CSetupDlg::OnPortKindClicked),
        Map::Command(BN_CLICKED, IDC_PORT_UTP, &CSetupDlg::OnPortKindClicked),
    };
    return map.Dispatch(this, message, wParam, lParam, result) ||
           CDialog::OnWndMsg(message, wParam, lParam, result);
}

BOOL CSetupDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // Without administrator rights an elevated copy takes over (or failed to start):
    // offer to leave this one.
    if (RelaunchElevated() != 0) OnCancel();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

    printerNameEdit_.SetWindowText(kDefaultPrinterName);
    modelTab_.InsertItem(0, "Printer Model");

    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = const_cast<char*>("");
    modelList_.InsertItem(item);

    // The range also holds the default-printer check box, which is cleared with the
    // radio buttons.
    CheckRadioButton(IDC_PORT_USB, IDC_PORT_TCPIP, IDC_PORT_USB);

    modelList_.SetExtendedStyle(0, kGridLinesAndFullRowSelect);
    modelList_.SetItemState(modelList_.GetCountPerPage() - 1, LVIS_SELECTED | LVIS_FOCUSED,
                            LVIS_SELECTED | LVIS_FOCUSED);
    modelList_.SetIconSpacing(kIconSpacingX, 0);
    modelList_.SetFocus();

    // Without a printer count the dialog still works, with the check box left enabled.
    return CountInstalledPrinters();
}

BOOL CSetupDlg::CountInstalledPrinters() {
    constexpr DWORD kLocalAndConnections = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD returned = 0;
    std::vector<BYTE> buffer;
    SpoolerFetchOptions countOnly;
    countOnly.probeSize = 0;
    countOnly.probeMustAskForMore = false;
    countOnly.traceAllocation = false;
    if (FetchFromSpooler(
            [&](BYTE* data, DWORD size, DWORD* needed) {
                return System().enumPrinters(kLocalAndConnections, nullptr, 2, data, size, needed,
                                             &returned);
            },
            buffer, countOnly) == SpoolerFetchResult::Failed) {
        return FALSE;
    }

    SetupState& setup = Process().setup;
    setup.installedPrinterCount = 0;
    std::printf("Number of installed printers on this pc = %i \n", static_cast<int>(returned));
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        ++setup.installedPrinterCount;
        const char* name = printers[i].pPrinterName ? printers[i].pPrinterName : "";
        if (printers[i].Attributes & PRINTER_ATTRIBUTE_NETWORK) {
            std::printf(" network printer: %s\n", name);
        } else {
            std::printf(" local printer: %s\n", name);
        }
    }
    std::fflush(stdout);

    // With no printer at all the new one becomes the default anyway.
    if (setup.installedPrinterCount == 0) makeDefaultCheck_.EnableWindow(FALSE);
    return TRUE;
}

void CSetupDlg::OnCancel() {
    if (System().messageBox(hwnd_, kExitSetupQuestion, kSetupDialogCaption,
                            MB_YESNO | MB_ICONQUESTION) == IDYES) {
        CDialog::OnCancel();
    }
}

void CSetupDlg::OnCancelClicked(UINT) {
    OnCancel();
}

void CSetupDlg::OnOkClicked(UINT) {
    // The port dialogs have no owner, so this dialog stays enabled while they run: another
    // press of OK meanwhile must not start a second installation inside the first.
    if (sequenceRunning_) return;
    sequenceRunning_ = true;
    struct EndOfSequence {
        bool& running;
        ~EndOfSequence() { running = false; }
    } endOfSequence{sequenceRunning_};

    CFileCopy copyHost(kVirtualComNotice);
    SetupState& setup = Process().setup;
    setup.makeDefault = makeDefaultCheck_.GetCheck() == BST_CHECKED ? 1 : 0;
    setup.is64BitWindows = IsWow64Windows();
    setup.osName = GetWindowsFamilyName();
    // The package is copied on every press, before the name is looked at.
    copyHost.CopyDriverFiles();

    setup.printerName = printerNameEdit_.GetWindowText();
    if (setup.printerName.empty()) {
        AppMessageBox("Enter printer name");
        return;
    }
    setup.usbSelected = usbRadio_.GetCheck() == BST_CHECKED ? 1 : 0;
    if (setup.usbSelected == 1) {
        InstallForUsbPrinter();
    } else {
        InstallThroughPortSelection();
    }
    CDialog::OnOK();
}

void CSetupDlg::InstallForUsbPrinter() {
    SetupState& setup = Process().setup;
    std::string infPath =
        ProgramFolder() + (setup.is64BitWindows ? kVirtualComInfX64 : kVirtualComInfX86);
    setup.vcomInfPath = infPath;
    // The setup INF lies in the same folder; the installer derives its path from this.
    setup.setupInfPath = infPath;

    CFileCopy busyNotice(kVirtualComNotice);
    busyNotice.Create(IDD_BUSY_NOTICE);
    // Nothing below lets this thread paint until the arrival dialog runs.
    PaintNow(busyNotice);
    ShowWindow(SW_SHOW);

    System().setupCopyOEMInf(infPath.c_str(), infPath.c_str(), SPOST_NONE,
                             SP_COPY_OEMINF_CATALOG_ONLY, nullptr, 0, nullptr, nullptr);
    System().updateDriverForPlugAndPlayDevices(nullptr, kUsbHardwareId, setup.vcomInfPath.c_str(),
                                               0, nullptr);
    setup.usbDeviceKnown = FindUsbPrinterPort();

    CPortSelection portSelection;
    if (setup.usbDeviceKnown == 1) {
        portSelection.InstallOnChosenPort();
        return;
    }
    CDeviceChangeNotification arrival;
    arrival.DoModal();
    // The printer may have arrived without a device that opens: then nothing is installed.
    if (FindUsbPrinterPort() == 1) portSelection.InstallOnChosenPort();
}

void CSetupDlg::InstallThroughPortSelection() {
    for (const auto& [radio, kind] : kPortKinds) {
        if (::SendDlgItemMessageA(hwnd_, radio, BM_GETCHECK, 0, 0) == BST_CHECKED) {
            Process().setup.portKind = kind;
        }
    }
    CPortSelection portSelection;
    portSelection.DoModal();
}

// The check box checks itself.
void CSetupDlg::OnMakeDefaultClicked(UINT) {}

// The tab and the list are decoration: their notifications change nothing.
void CSetupDlg::OnTabSelectionChanged(NMHDR*, LRESULT* result) {
    *result = 0;
}
void CSetupDlg::OnListClicked(NMHDR*, LRESULT* result) {
    *result = 0;
}

void CSetupDlg::OnPortKindClicked(UINT id) {
    for (int radio : kPortKindRadios) {
        if (radio != static_cast<int>(id)) {
            ::SendDlgItemMessageA(hwnd_, radio, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

bool CSetupDlg::OnQueryDragIcon(WPARAM, LPARAM, LRESULT& result) {
    result = reinterpret_cast<LRESULT>(icon_);
    return true;
}

bool CSetupDlg::OnPaint(WPARAM, LPARAM, LRESULT& result) {
    if (!IsIconic()) return false;
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    PaintMinimisedIcon(dc);
    ::EndPaint(hwnd_, &paint);
    result = 0;
    return true;
}

void CSetupDlg::PaintMinimisedIcon(HDC dc) const {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, icon_);
}
