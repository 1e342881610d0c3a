// The window side of CFileCopy: the busy notice.
#include "state/ProcessWide.h"
#include "install/FileCopy.h"
#include "resource.h"

namespace {
constexpr int kNoticeFontTenthsOfPoint = 100;
constexpr char kNoticeFontFace[] = "Verdana";
}  // namespace

CFileCopy::CFileCopy(const std::string& message, HWND parent)
    : CEscapeProofDialog(IDD_BUSY_NOTICE, parent) {
    Process().noticeText = message;
}

// The window goes before the font its text control uses.
CFileCopy::~CFileCopy() {
    DestroyWindow();
}

void CFileCopy::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    BindControl(dx, IDC_NOTICE_TEXT, messageControl);
}

BOOL CFileCopy::OnInitDialog() {
    CDialog::OnInitDialog();

    LOGFONTA font{};
    HDC dc = ::GetDC(hwnd_);
    font.lfHeight = -::MulDiv(kNoticeFontTenthsOfPoint, ::GetDeviceCaps(dc, LOGPIXELSY), 720);
    ::ReleaseDC(hwnd_, dc);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(font.lfFaceName, kNoticeFontFace, LF_FACESIZE);
    font_.reset(::CreateFontIndirectA(&font));
    messageControl.SetFont(font_.get(), TRUE);

    messageControl.SetWindowText(Process().noticeText);
    return TRUE;
}

void CFileCopy::OnOK() {}
