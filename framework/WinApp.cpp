#include "framework/WinApp.h"

#include "framework/MessageLoop.h"
#include "framework/Wnd.h"
#include "platform/ProgramPath.h"
#include "platform/SystemCalls.h"

namespace {

// The one application object of the process (named process-wide by design).
CWinApp* theApplication = nullptr;

std::string ProgramBaseName() {
    std::string name = ProgramPath();
    if (size_t slash = name.find_last_of("\\/"); slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    if (size_t dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
    return name;
}

}  // namespace

CWinApp::CWinApp(const char* appName) : appName_(appName ? appName : ProgramBaseName()) {
    theApplication = this;
}

CWinApp::~CWinApp() {
    if (theApplication == this) theApplication = nullptr;
}

CWinApp* CurrentApp() {
    return theApplication;
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

int CWinApp::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) framework::TranslateAndDispatch(&msg);
    return ExitInstance();
}

bool CWinApp::OnCmdMsg(UINT) {
    return false;
}

void CWinApp::BeginWaitCursor() {
    ++waitCursorCount_;
    RestoreWaitCursor();
}

void CWinApp::EndWaitCursor() {
    if (waitCursorCount_ > 0) --waitCursorCount_;
    RestoreWaitCursor();
}

void CWinApp::RestoreWaitCursor() {
    ::SetCursor(::LoadCursorA(nullptr, waitCursorCount_ > 0 ? IDC_WAIT : IDC_ARROW));
}

void CWinApp::OnHelp() {
    std::string helpFile = ProgramPath();
    if (helpFile.empty()) return;
    if (size_t dot = helpFile.rfind('.'); dot != std::string::npos) helpFile.erase(dot);
    helpFile += ".hlp";
    ::WinHelpA(mainWnd_ ? mainWnd_->GetSafeHwnd() : nullptr, helpFile.c_str(), HELP_FINDER, 0);
}

int AppMessageBox(const std::string& text, UINT type) {
    if ((type & MB_ICONMASK) == 0 && (type & MB_TYPEMASK) == MB_OK) type |= MB_ICONEXCLAMATION;
    std::string caption = CurrentApp() ? CurrentApp()->AppName() : std::string();
    // Owned by whatever window of this thread is active, as a reply to the user's action.
    return System().messageBox(::GetActiveWindow(), text.c_str(), caption.c_str(), type);
}
