#include "ports/DeviceChangeNotification.h"

#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <cstdlib>
#include <string>

#include "framework/Font.h"
#include "framework/MessageMap.h"
#include "framework/PaintNow.h"
#include "framework/WinApp.h"
#include "install/Installer.h"
#include "platform/SystemCalls.h"
#include "ports/SetupQuestions.h"
#include "resource.h"
#include "state/ProcessWide.h"

namespace {

constexpr char kCaption[] = "ZNT Series Printer Driver - Setup";
constexpr char kPowerCyclePrompt[] =
    "Please power Off/On the printer to continue driver installation.";
constexpr char kConnectPrompt[] =
    "Please connect and power ON the printer.\n\nThis will search and configure USB Port.";
constexpr char kInstallingText[] = "\n  Driver installation is in progress... !!";
constexpr char kPleaseWaitText[] = "Please wait...";
constexpr DWORD kCloseDelayMilliseconds = 2000;
constexpr int kDriverUpdateAttempts = 3;

constexpr int kPromptFontTenthsOfPoint = 100;
constexpr char kPromptFontFace[] = "Verdana";

// The class of USB devices: every USB device that arrives is reported.
constexpr GUID kUsbDeviceInterfaceClass = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

// The printer's interface names carry its vendor and product IDs.
constexpr char kPrinterIdentifier[] = "vid_1cbe&pid_0002";

// Whether an arrival names the printer. The name is read only within the size the
// broadcast gives itself, and need not be terminated there.
bool IsPrinterArrival(const DEV_BROADCAST_HDR* header) {
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return false;
    const auto* device = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_A*>(header);
    constexpr size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    if (header->dbch_size <= kNameOffset) return false;
    size_t room = header->dbch_size - kNameOffset;
    std::string name(device->dbcc_name, strnlen(device->dbcc_name, room));
    if (!name.empty()) ::CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));
    return name.find(kPrinterIdentifier) != std::string::npos;
}

}  // namespace

CDeviceChangeNotification::CDeviceChangeNotification(HWND parent)
    : CDialog(IDD_DEVICE_ARRIVAL, parent) {}

void CDeviceChangeNotification::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    BindControl(dx, IDC_ARRIVAL_PROMPT, promptText_);
}

bool CDeviceChangeNotification::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result) {
    using Map = MessageMap<CDeviceChangeNotification>;
    static const Map map{
        Map::Message(WM_DEVICECHANGE, &CDeviceChangeNotification::OnDeviceChange),
    };
    return map.Dispatch(this, message, wParam, lParam, result) ||
           CDialog::OnWndMsg(message, wParam, lParam, result);
}

BOOL CDeviceChangeNotification::OnInitDialog() {
    CDialog::OnInitDialog();

    promptText_.SetFont(AdoptFont(CreatePointFont(kPromptFontTenthsOfPoint, kPromptFontFace)));
    promptText_.SetWindowText(Process().setup.usbDeviceKnown == 1 ? kPowerCyclePrompt
                                                                  : kConnectPrompt);

    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kUsbDeviceInterfaceClass;
    // Refused, no arrival ever comes: the user can still leave through the close box.
    notification_.reset(
        System().registerDeviceNotification(hwnd_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
    return TRUE;
}

bool CDeviceChangeNotification::OnDeviceChange(WPARAM event, LPARAM data, LRESULT& result) {
    result = 0;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    // Only the printer counts: another USB device plugged in meanwhile (a mouse, a
    // memory stick) must not start the installation.
    if (event != DBT_DEVICEARRIVAL || !header || !IsPrinterArrival(header)) return true;
    InstallForArrivedPrinter();
    return true;
}

void CDeviceChangeNotification::InstallForArrivedPrinter() {
    CInstaller installer;
    notification_.reset();
    promptText_.SetWindowText(kInstallingText);
    CDialog::OnOK();

    CWaitCursor wait;
    ProcessWide& process = Process();
    ++process.arrivalCount;
    if (process.usbInstallRound != 1) return;
    if (!installer.CopySetupInf()) return;
    bool updated = false;
    for (int attempt = 0; attempt < kDriverUpdateAttempts && !updated; ++attempt) {
        updated = installer.UpdateUsbPrinterDriver();
    }
    if (!updated) return;
    installer.InstallStatusMonitorForUsb();
    ++process.usbInstallRound;
}

void CDeviceChangeNotification::OnOK() {
    if (Process().arrivalCount == 0) return;
    promptText_.SetWindowText(kPleaseWaitText);
    // The thread sleeps next: show the text before it does.
    PaintNow(promptText_);
    ::Sleep(kCloseDelayMilliseconds);
    CDialog::OnOK();
}

void CDeviceChangeNotification::OnCancel() {
    if (System().messageBox(hwnd_, kExitSetupQuestion, kCaption, MB_YESNO | MB_ICONQUESTION) ==
        IDYES) {
        // The user gives up the whole setup: nothing more is installed.
        std::exit(1);
    }
}
