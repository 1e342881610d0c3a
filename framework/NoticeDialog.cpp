#include "framework/NoticeDialog.h"

#include <utility>

namespace {
constexpr int kNoticeFontTenthsOfPoint = 100;
constexpr char kNoticeFontFace[] = "Verdana";
}  // namespace

CNoticeDialog::CNoticeDialog(UINT templateId, int textControlId, std::string text)
    : CEscapeProofDialog(templateId),
      templateId_(templateId),
      textControlId_(textControlId),
      text_(std::move(text)) {}

// The window goes before the font its text control uses.
CNoticeDialog::~CNoticeDialog() {
    DestroyWindow();
}

BOOL CNoticeDialog::Create(HWND parent) {
    return CDialog::Create(templateId_, parent);
}

void CNoticeDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    BindControl(dx, textControlId_, textControl_);
}

BOOL CNoticeDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    LOGFONTA font{};
    HDC dc = ::GetDC(hwnd_);
    font.lfHeight = -::MulDiv(kNoticeFontTenthsOfPoint, ::GetDeviceCaps(dc, LOGPIXELSY), 720);
    ::ReleaseDC(hwnd_, dc);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, kNoticeFontFace, LF_FACESIZE);
    font_.reset(::CreateFontIndirectA(&font));
    textControl_.SetFont(font_.get(), TRUE);
    textControl_.SetWindowText(text_);
    return TRUE;
}

void CNoticeDialog::SetText(const std::string& text) {
    text_ = text;
    if (textControl_.GetSafeHwnd()) textControl_.SetWindowText(text_);
}
