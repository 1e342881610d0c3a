#include "network/dialogs/PrinterParameterSettings.h"

#include <utility>

#include "framework/MessageMap.h"
#include "framework/Waits.h"
#include "framework/WinApp.h"
#include "install/FileCopy.h"
#include "network/dialogs/NetworkWide.h"
#include "network/protocol/HardwareAddress.h"
#include "resource.h"

namespace {

constexpr char kChanging[] = "Changing Printer parameters.\n\nPlease wait...";
constexpr char kChangingBlink[] = "Changing Printer parameters.\n\n";
constexpr char kRebooting[] = "Rebooting Printer.\n\nPlease wait...";
constexpr char kRebootingBlink[] = "Rebooting Printer.\n\n";
constexpr char kChangeFailed[] = "Couldn't change Printer Parameters. Try again!!";
constexpr char kChanged[] = "Printer Parameters changed successfully";

// The notice blinks between its two texts, the first one first, while the thread waits.
class BlinkingText {
public:
    BlinkingText(CFileCopy& notice, const char* lit, const char* dark)
        : notice_(notice), lit_(lit), dark_(dark) {}

    void Next() {
        notice_.messageControl.SetWindowText(showLit_ ? lit_ : dark_);
        showLit_ = !showLit_;
    }

private:
    CFileCopy& notice_;
    const char* lit_;
    const char* dark_;
    bool showLit_ = true;
};

}  // namespace

PrinterParameterSettings::PrinterParameterSettings(std::string ipAddress, std::string subnetMask,
                                                   std::string gateway, std::string dhcpState,
                                                   std::string dhcpTimeout,
                                                   std::string hardwareAddress, HWND owner)
    : CDialogEx(IDD_PRINTER_SETTINGS, owner),
      ipAddress_(std::move(ipAddress)),
      subnetMask_(std::move(subnetMask)),
      gateway_(std::move(gateway)),
      dhcpState_(std::move(dhcpState)),
      dhcpTimeout_(std::move(dhcpTimeout)),
      hardwareAddress_(net::withoutBlanks(hardwareAddress)) {
    Network().rescanned.store(0);
}

PrinterParameterSettings::~PrinterParameterSettings() {
    rescan_.Stop();
}

void PrinterParameterSettings::DoDataExchange(CDataExchange* dx) {
    CDialogEx::DoDataExchange(dx);
    BindControl(dx, IDC_SETTINGS_IP, ipAddressEdit);
    BindControl(dx, IDC_SETTINGS_SUBNET, subnetMaskEdit);
    BindControl(dx, IDC_SETTINGS_GATEWAY, gatewayEdit);
    BindControl(dx, IDC_SETTINGS_DHCP_TIMEOUT, dhcpTimeoutEdit);
}

BOOL PrinterParameterSettings::OnInitDialog() {
    CDialogEx::OnInitDialog();
    ipAddressEdit.SetWindowText(ipAddress_);
    subnetMaskEdit.SetWindowText(subnetMask_);
    gatewayEdit.SetWindowText(gateway_);
    dhcpTimeoutEdit.SetWindowText(dhcpTimeout_);
    return TRUE;
}

bool PrinterParameterSettings::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result) {
    using Map = MessageMap<PrinterParameterSettings>;
    static const Map map{
        Map::Message(WM_PAINT, &PrinterParameterSettings::OnPaint),
        Map::Message(WM_DESTROY, &PrinterParameterSettings::OnDestroy),
    };
    return map.Dispatch(this, message, wParam, lParam, result) ||
           CDialogEx::OnWndMsg(message, wParam, lParam, result);
}

void PrinterParameterSettings::OnOK() {
    // A second Set Parameters ends the rescan of the first: its replies belong to the old
    // settings, and its end must not close the dialog in the middle of this run.
    rescan_.Stop();
    auto& network = Network();
    // A rescan that ended just now has not closed the dialog yet; its paint message must not
    // close it in the middle of this run.
    network.rescanned.store(0);
    network.sendResult.reset();
    network.rescanStore.resetCount();
    ipAddress_ = ipAddressEdit.GetWindowText();
    subnetMask_ = subnetMaskEdit.GetWindowText();
    gateway_ = gatewayEdit.GetWindowText();

    CFileCopy notice(kChanging);
    notice.Create(IDD_BUSY_NOTICE);
    BlinkingText changing(notice, kChanging, kChangingBlink);
    settings_.start(hardwareAddress_, ipAddress_, subnetMask_, gateway_, network.sendResult);
    // The dialog takes no input while it waits, but its notice keeps painting.
    const ULONGLONG started = ::GetTickCount64();
    while (network.sendResult.get() == net::SendResult::kPending &&
           ::GetTickCount64() - started < kSettingsLimitMilliseconds) {
        changing.Next();
        framework::WaitPaintingOnly(kSettingsBlinkMilliseconds);
    }
    settings_.stop();
    framework::DiscardInput();

    if (network.sendResult.get() != net::SendResult::kSent) {
        notice.ShowWindow(SW_HIDE);
        AppMessageBox(kChangeFailed);
        return;
    }
    AppMessageBox(kChanged);

    BlinkingText rebooting(notice, kRebooting, kRebootingBlink);
    network.sendResult.reset();
    reboot_.start(hardwareAddress_, network.sendResult);
    for (DWORD waited = 0; waited < kRebootMilliseconds; waited += kRebootBlinkMilliseconds) {
        rebooting.Next();
        framework::WaitPaintingOnly(kRebootBlinkMilliseconds);
    }
    reboot_.stop();
    framework::DiscardInput();
    notice.ShowWindow(SW_HIDE);
    rescan_.Start(hwnd_);
}

// The rescan's end comes as a paint message: the dialog paints, then closes.
bool PrinterParameterSettings::OnPaint(WPARAM, LPARAM, LRESULT&) {
    PAINTSTRUCT paint;
    ::BeginPaint(hwnd_, &paint);
    ::EndPaint(hwnd_, &paint);
    if (Network().rescanned.load() == 1) EndDialog(IDCANCEL);
    return true;
}

// Return during the rescan ends it here, while the window it would post to still exists.
bool PrinterParameterSettings::OnDestroy(WPARAM, LPARAM, LRESULT&) {
    rescan_.Stop();
    return false;
}
