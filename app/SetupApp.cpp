#include "app/SetupApp.h"

#include <windows.h>
#include <commctrl.h>

#include "app/SetupDlg.h"
#include "framework/MessageMap.h"
#include "platform/SystemCalls.h"
#include "platform/UniqueHandle.h"

namespace {
constexpr UINT kHelpCommand = 57670;
constexpr char kSettingsKey[] = "Local AppWizard-Generated Applications";
constexpr char kAlreadyRunning[] =
    "Another application is already running. Please terminate the previous application.";
constexpr char kAdministratorRequired[] =
    "Administrator Privileges required to install Printer Drivers.\nRight Click the \"Setup\" "
    "application and select \"Run As...\" and log in as Administrator.";
}  // namespace

BOOL CSetupApp::InitInstance() {
    // Held until the main dialog has closed; the guard also closes it on an exception.
    UniqueKernelHandle mutex(::CreateMutexA(nullptr, FALSE, kSingleInstanceMutexName));
    DWORD mutexError = ::GetLastError();

    // The other copy is checked first: its user may well not be an administrator.
    if (mutexError == ERROR_ALREADY_EXISTS) {
        System().messageBox(nullptr, kAlreadyRunning, kStartupCaption, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    if (!System().isUserAnAdmin()) {
        System().messageBox(nullptr, kAdministratorRequired, kStartupCaption, MB_OK | MB_ICONERROR);
        return FALSE;
    }

    ::InitCommonControls();
    CWinApp::InitInstance();
    SetRegistryKey(kSettingsKey);

    CSetupDlg dialog;
    SetMainWnd(&dialog);
    dialog.DoModal();
    SetMainWnd(nullptr);
    return FALSE;
}

bool CSetupApp::OnCmdMsg(UINT id) {
    if (id == kHelpCommand) {
        OnHelp();
        return true;
    }
    return CWinApp::OnCmdMsg(id);
}
