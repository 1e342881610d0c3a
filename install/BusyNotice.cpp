#include "install/BusyNotice.h"

#include "framework/Font.h"

#include "resource.h"
#include "state/ProcessWide.h"

namespace {
constexpr int kNoticeFontTenthsOfPoint = 100;
constexpr char kNoticeFontFace[] = "Verdana";
}  // namespace

CBusyNotice::CBusyNotice(const std::string& message, HWND parent)
    : CEscapeProofDialog(IDD_BUSY_NOTICE, parent) {
    Process().noticeText = message;
}

void CBusyNotice::DoDataExchange(CDataExchange* dx) {
    CEscapeProofDialog::DoDataExchange(dx);
    BindControl(dx, IDC_NOTICE_TEXT, messageControl);
}

BOOL CBusyNotice::OnInitDialog() {
    CEscapeProofDialog::OnInitDialog();
    messageControl.SetFont(AdoptFont(CreatePointFont(kNoticeFontTenthsOfPoint, kNoticeFontFace)));
    messageControl.SetWindowText(Process().noticeText);
    return TRUE;
}

void CBusyNotice::OnOK() {}
