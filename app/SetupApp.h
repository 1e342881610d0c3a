#pragma once

#include "framework/WinApp.h"

// The setup program: refuses a second copy and a user who is not an administrator,
// then runs the main setup dialog. The process ends when that dialog closes.
class CSetupApp : public CWinApp {
public:
    CSetupApp() = default;

    // Always FALSE: no message loop follows the main dialog.
    BOOL InitInstance() override;
    bool OnCmdMsg(UINT id) override;
};

// Names shared by the single-instance check and its tests.
inline constexpr char kSingleInstanceMutexName[] = "Global\\{6E2B9D41-3C7A-4F58-A1D0-92B4C8E7F365}";
inline constexpr char kStartupCaption[] = "Brevak Printer Driver - Setup";
