#include "app/SetupDlg.h"

#include <cstdio>
#include <vector>

#include "app/Elevation.h"
#include "state/ProcessWide.h"
#include "framework/MessageMap.h"
#include "platform/SpoolerFetch.h"
#include "platform/SystemCalls.h"
#include "resource.h"

namespace {

// The five port kinds; clicking one clears the other four.
constexpr int kPortKindRadios[] = {IDC_PORT_SERIAL, IDC_PORT_TCPIP, IDC_PORT_USB, IDC_PORT_LPT,
                                   IDC_PORT_UTP};

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

// The installation is not attached yet: OK keeps the dialog as it is rather than
// ending it through the framework's default OK.
void CSetupDlg::OnOkClicked(UINT) {}

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
