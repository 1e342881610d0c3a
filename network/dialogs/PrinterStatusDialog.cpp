#include "network/dialogs/PrinterStatusDialog.h"

#include <utility>

#include "framework/Font.h"
#include "framework/MessageMap.h"
#include "framework/StaticColours.h"
#include "network/dialogs/DialogMessages.h"
#include "resource.h"

namespace {

constexpr char kStart[] = "Auto Status Start";
constexpr char kStop[] = "Auto Status Stop";
constexpr COLORREF kTitleColour = RGB(255, 0, 0);
constexpr int kTitleFontTenthsOfPoint = 100;
constexpr char kTitleFontFace[] = "Verdana";

// The lamp controls in the order of the protocol's lamps.
constexpr std::array<int, net::kLampCount> kLampControls{
    IDC_LAMP_OFF_LINE,  IDC_LAMP_COVER,  IDC_LAMP_CUTTER, IDC_LAMP_NEAR_END, IDC_LAMP_RESTORABLE,
    IDC_LAMP_PAPER_END, IDC_LAMP_DRAWER, IDC_LAMP_FEED,   IDC_LAMP_BUSY,     IDC_LAMP_UNRESTORABLE};

HBITMAP LoadProgramBitmap(int id) {
    return static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                             IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

}  // namespace

PrinterStatusDialog::PrinterStatusDialog(std::string ipAddress, HWND owner)
    : CDialogEx(IDD_PRINTER_STATUS, owner), ipAddress_(std::move(ipAddress)) {
    shown_.fill(net::LampState::Idle);
}

// The poller goes before the window and the bitmaps its changes would show.
PrinterStatusDialog::~PrinterStatusDialog() {
    StopPoller();
    DestroyWindow();
}

void PrinterStatusDialog::DoDataExchange(CDataExchange* dx) {
    CDialogEx::DoDataExchange(dx);
    for (std::size_t i = 0; i < lamps.size(); ++i) BindControl(dx, kLampControls[i], lamps[i]);
    BindControl(dx, IDC_STATUS_TITLE, title);
    BindControl(dx, IDC_AUTO_STATUS, autoStatusButton);
}

BOOL PrinterStatusDialog::OnInitDialog() {
    CDialogEx::OnInitDialog();
    clearBitmap_.reset(LoadProgramBitmap(IDB_LAMP_GREEN));
    alertBitmap_.reset(LoadProgramBitmap(IDB_LAMP_RED));
    idleBitmap_.reset(LoadProgramBitmap(IDB_LAMP_GREY));

    title.SetFont(AdoptFont(CreatePointFont(kTitleFontTenthsOfPoint, kTitleFontFace)));

    changes_.Open(hwnd_, kLampsChanged);
    return TRUE;
}

bool PrinterStatusDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    using Map = MessageMap<PrinterStatusDialog>;
    static const Map map{
        Map::Message(kLampsChanged, &PrinterStatusDialog::OnLampsChanged),
        Map::Message(WM_DESTROY, &PrinterStatusDialog::OnDestroy),
        Map::Message(WM_CTLCOLORSTATIC, &PrinterStatusDialog::OnControlColour),
        Map::Command(BN_CLICKED, IDC_AUTO_STATUS, &PrinterStatusDialog::OnAutoStatus),
    };
    return map.Dispatch(this, message, wParam, lParam, result) ||
           CDialogEx::OnWndMsg(message, wParam, lParam, result);
}

void PrinterStatusDialog::SetLamp(net::Lamp lamp, net::LampState state) {
    const auto index = net::lampIndex(lamp);
    // The printer may answer thousands of times a second, mostly the same: only a change
    // redraws its lamp.
    if (shown_[index] == state) return;
    shown_[index] = state;
    HBITMAP picture = state == net::LampState::Clear   ? clearBitmap_.get()
                      : state == net::LampState::Alert ? alertBitmap_.get()
                                                       : idleBitmap_.get();
    lamps[index].SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
}

void PrinterStatusDialog::SetAllLamps(net::LampState state) {
    for (std::size_t i = 0; i < net::kLampCount; ++i) SetLamp(static_cast<net::Lamp>(i), state);
}

bool PrinterStatusDialog::OnLampsChanged(WPARAM, LPARAM, LRESULT&) {
    for (const auto& change : changes_.TakeAll()) {
        if (change.lamp) {
            SetLamp(*change.lamp, change.state);
        } else {
            SetAllLamps(change.state);
        }
    }
    return true;
}

bool PrinterStatusDialog::OnDestroy(WPARAM, LPARAM, LRESULT&) {
    StopPoller();
    changes_.Close();
    return false;
}

bool PrinterStatusDialog::OnControlColour(WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_STATUS_TITLE) return false;
    result = ColouredStaticText(wParam, kTitleColour, true);
    return true;
}

void PrinterStatusDialog::StopPoller() {
    poller_.stop();
    changes_.Discard();
}

void PrinterStatusDialog::OnAutoStatus(UINT) {
    if (!polling_) {
        polling_ = true;
        StopPoller();
        autoStatusButton.SetWindowText(kStop);
        poller_.start(ipAddress_, postedLamps_);
    } else {
        polling_ = false;
        StopPoller();
        SetAllLamps(net::LampState::Idle);
        autoStatusButton.SetWindowText(kStart);
    }
}
