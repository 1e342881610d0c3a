#include "framework/NoticeDialog.h"

#include <utility>

#include "framework/Font.h"

namespace {
constexpr int kNoticeFontTenthsOfPoint = 100;
constexpr char kNoticeFontFace[] = "Verdana";
}  // namespace

CNoticeDialog::CNoticeDialog(UINT templateId, int textControlId, std::string text)
    : CEscapeProofDialog(templateId),
      templateId_(templateId),
      textControlId_(textControlId),
      text_(std::move(text)) {}

BOOL CNoticeDialog::Create(HWND parent) {
    return CDialog::Create(templateId_, parent);
}

void CNoticeDialog::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    BindControl(dx, textControlId_, textControl_);
}

BOOL CNoticeDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    textControl_.SetFont(AdoptFont(CreatePointFont(kNoticeFontTenthsOfPoint, kNoticeFontFace)));
    textControl_.SetWindowText(text_);
    return TRUE;
}

void CNoticeDialog::SetText(const std::string& text) {
    text_ = text;
    if (textControl_.GetSafeHwnd()) textControl_.SetWindowText(text_);
}
