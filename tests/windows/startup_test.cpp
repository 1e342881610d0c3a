// Start-up of the setup program: single copy, administrator checks, elevation.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "app/Elevation.h"
#include "state/ProcessWide.h"
#include "app/SetupApp.h"
#include "framework/Wnd.h"
#include "platform/UniqueHandle.h"

using testing_support::MessageBoxScript;

namespace {

// Taken during static initialisation, before any test touches the shared state.
const SetupState stateAtProgramStart = Process().setup;

constexpr char kAlreadyRunning[] =
    "Another application is already running. Please terminate the previous application.";
constexpr char kAdministratorRequired[] =
    "Administrator Privileges required to install Printer Drivers.\nRight Click the \"Setup\" "
    "application and select \"Run As...\" and log in as Administrator.";

// Counts the dialogs this thread creates while it lives.
class DialogCreationCounter {
public:
    DialogCreationCounter() {
        count_ = 0;
        hook_ = ::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~DialogCreationCounter() { ::UnhookWindowsHookEx(hook_); }
    int count() const { return count_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND) {
            char className[64] = {};
            ::GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
            if (std::string(className) == "#32770") {
                ++count_;
                // Nothing in these tests may stay open: a dialog shown here is a failure,
                // and it must not wait for a user.
                ::PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDCANCEL, 0);
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline int count_ = 0;
    HHOOK hook_;
};

TEST(SetupStateTest, StartsWithEveryIntegerZeroAndEveryTextEmpty) {
    const SetupState& s = stateAtProgramStart;
    EXPECT_EQ(0, s.installedPrinterCount);
    EXPECT_EQ(0, s.makeDefault);
    EXPECT_EQ(0, s.usbDeviceKnown);
    EXPECT_EQ(0, s.is64BitWindows);
    EXPECT_EQ(0, s.usbSelected);
    for (const std::string* text :
         {&s.printerName, &s.vcomInfPath, &s.portName, &s.osName, &s.setupInfPath, &s.portKind}) {
        EXPECT_TRUE(text->empty()) << *text;
    }
}

TEST(InitInstanceTest, SecondCopyIsToldAboutTheFirstBeforeAnyAdministratorCheck) {
    // This process plays the copy that is already running.
    UniqueKernelHandle first(::CreateMutexA(nullptr, FALSE, kSingleInstanceMutexName));
    ASSERT_TRUE(first);

    MessageBoxScript boxes;
    int adminQueries = 0;
    System().isUserAnAdmin = [&] {
        ++adminQueries;
        return FALSE;
    };
    DialogCreationCounter dialogs;

    CSetupApp app;
    EXPECT_FALSE(app.InitInstance());

    ASSERT_EQ(1u, boxes.shown().size());
    EXPECT_EQ(kAlreadyRunning, boxes.shown()[0].text);
    EXPECT_EQ("Brevak Printer Driver - Setup", boxes.shown()[0].caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONERROR), boxes.shown()[0].type);
    EXPECT_EQ(nullptr, boxes.shown()[0].owner);
    EXPECT_EQ(0, adminQueries);
    EXPECT_EQ(0, dialogs.count());
}

TEST(InitInstanceTest, UserWhoIsNotAnAdministratorGetsTheMessageAndNoDialog) {
    MessageBoxScript boxes;
    System().isUserAnAdmin = [] { return FALSE; };
    DialogCreationCounter dialogs;

    CSetupApp app;
    EXPECT_FALSE(app.InitInstance());

    ASSERT_EQ(1u, boxes.shown().size());
    EXPECT_EQ(kAdministratorRequired, boxes.shown()[0].text);
    EXPECT_EQ("Brevak Printer Driver - Setup", boxes.shown()[0].caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONERROR), boxes.shown()[0].type);
    EXPECT_EQ(0, dialogs.count());

    // The mutex went with the instance initialisation.
    UniqueKernelHandle again(::CreateMutexA(nullptr, FALSE, kSingleInstanceMutexName));
    EXPECT_NE(DWORD(ERROR_ALREADY_EXISTS), ::GetLastError());
}

// Leaves the main dialog through its Cancel button as soon as it shows.
void CALLBACK CancelMainDialog(HWND, UINT, UINT_PTR, DWORD) {
    CWnd* main = CurrentApp() ? CurrentApp()->MainWnd() : nullptr;
    if (main && main->GetSafeHwnd()) ::PostMessageA(main->GetSafeHwnd(), WM_COMMAND, IDCANCEL, 0);
}

TEST(InitInstanceTest, AdministratorGetsTheMainDialogWhileHoldingTheMutex) {
    testing_support::ResetProcessWide();
    SystemCallsOverride restore;
    bool mutexHeldDuringDialog = false;
    std::string questionOwnerTitle;
    std::string questionCaption;
    System().messageBox = [&](HWND owner, const char*, const char* caption, UINT) {
        UniqueKernelHandle open(::OpenMutexA(SYNCHRONIZE, FALSE, kSingleInstanceMutexName));
        mutexHeldDuringDialog = static_cast<bool>(open);
        questionOwnerTitle = testing_support::WindowText(owner);
        questionCaption = caption;
        return IDYES;
    };

    CSetupApp app;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CancelMainDialog);
    EXPECT_FALSE(app.InitInstance());
    ::KillTimer(nullptr, timer);

    EXPECT_TRUE(mutexHeldDuringDialog);
    EXPECT_EQ("Quelor ZNT Series Printer Driver - Setup", questionOwnerTitle);
    EXPECT_EQ("ZNT Series Printer Driver - Setup", questionCaption);
    EXPECT_EQ("Local AppWizard-Generated Applications", app.RegistryKey());
    EXPECT_EQ(nullptr, app.MainWnd());
    UniqueKernelHandle after(::OpenMutexA(SYNCHRONIZE, FALSE, kSingleInstanceMutexName));
    EXPECT_FALSE(after);
}

TEST(ApplicationTest, IsNamedAfterTheProgramFile) {
    CSetupApp app;
    EXPECT_EQ("startup_test", app.AppName());
}

struct FailureMessageCase {
    std::string step;
    DWORD error;
    const char* expected;  // nullptr: nothing is shown
};

class ShowFailureMessageTest : public testing::TestWithParam<FailureMessageCase> {};

TEST_P(ShowFailureMessageTest, ShowsTheStepAndTheCodeOrNothingWhenItDoesNotFit) {
    MessageBoxScript boxes;
    ShowFailureMessage(GetParam().step.c_str(), GetParam().error);
    if (!GetParam().expected) {
        EXPECT_TRUE(boxes.shown().empty());
        return;
    }
    ASSERT_EQ(1u, boxes.shown().size());
    EXPECT_EQ(GetParam().expected, boxes.shown()[0].text);
    EXPECT_EQ("Error", boxes.shown()[0].caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONERROR), boxes.shown()[0].type);
    EXPECT_EQ(nullptr, boxes.shown()[0].owner);
}

// " failed w/err 0x" and eight digits add 24 characters; 199 fit, 200 do not.
INSTANTIATE_TEST_SUITE_P(
    Cases, ShowFailureMessageTest,
    testing::Values(FailureMessageCase{"IsRunAsAdmin", 5, "IsRunAsAdmin failed w/err 0x00000005"},
                    FailureMessageCase{"Step", 0xDEADBEEF, "Step failed w/err 0xdeadbeef"},
                    FailureMessageCase{std::string(176, 'x'), 1, nullptr},
                    FailureMessageCase{std::string(5000, 'x'), 1, nullptr}));

TEST(ShowFailureMessageBoundaryTest, ALongestMessageOf199CharactersIsShownWhole) {
    MessageBoxScript boxes;
    std::string step(175, 's');
    ShowFailureMessage(step.c_str(), 0x12);
    ASSERT_EQ(1u, boxes.shown().size());
    EXPECT_EQ(199u, boxes.shown()[0].text.size());
    EXPECT_EQ(step + " failed w/err 0x00000012", boxes.shown()[0].text);
}

struct RelaunchCase {
    const char* name;
    bool isMember;
    DWORD membershipError;  // non-zero: the membership check fails with it
    bool launchSucceeds;
    DWORD launchError;
    DWORD expected;
    bool expectLaunch;
    const char* expectedMessage;
};

class RelaunchElevatedTest : public testing::TestWithParam<RelaunchCase> {};

TEST_P(RelaunchElevatedTest, ReturnsWhatHappened) {
    const RelaunchCase& c = GetParam();
    MessageBoxScript boxes;
    System().checkTokenMembership = [&](HANDLE token, PSID sid, PBOOL isMember) {
        EXPECT_EQ(nullptr, token);
        EXPECT_TRUE(::IsValidSid(sid));
        if (c.membershipError) {
            ::SetLastError(c.membershipError);
            return FALSE;
        }
        *isMember = c.isMember;
        return TRUE;
    };
    int launches = 0;
    SHELLEXECUTEINFOA seen{};
    std::string file;
    System().shellExecuteEx = [&](SHELLEXECUTEINFOA* info) {
        ++launches;
        seen = *info;
        file = info->lpFile ? info->lpFile : "";
        if (c.launchSucceeds) return TRUE;
        ::SetLastError(c.launchError);
        return FALSE;
    };

    EXPECT_EQ(c.expected, RelaunchElevated());
    EXPECT_EQ(c.expectLaunch ? 1 : 0, launches);
    if (launches) {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        EXPECT_EQ(60u, seen.cbSize);
        EXPECT_STREQ("runas", seen.lpVerb);
        EXPECT_EQ(self, file);
        EXPECT_EQ(SW_SHOWNORMAL, seen.nShow);
        EXPECT_EQ(0u, seen.fMask);
        EXPECT_EQ(nullptr, seen.hwnd);
        EXPECT_EQ(nullptr, seen.lpParameters);  // the copy gets no arguments
        EXPECT_EQ(nullptr, seen.lpDirectory);
    }
    if (c.expectedMessage) {
        ASSERT_EQ(1u, boxes.shown().size());
        EXPECT_EQ(c.expectedMessage, boxes.shown()[0].text);
        EXPECT_EQ("Error", boxes.shown()[0].caption);
    } else {
        EXPECT_TRUE(boxes.shown().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RelaunchElevatedTest,
    testing::Values(RelaunchCase{"AlreadyAdministrator", true, 0, true, 0, 0, false, nullptr},
                    RelaunchCase{"ElevatedCopyStarted", false, 0, true, 0, 1, true, nullptr},
                    RelaunchCase{"UserDeclined", false, 0, false, ERROR_CANCELLED, 0, true,
                                 nullptr},
                    RelaunchCase{"LaunchFailed", false, 0, false, ERROR_FILE_NOT_FOUND,
                                 ERROR_FILE_NOT_FOUND, true, nullptr},
                    RelaunchCase{"CheckFailed", false, ERROR_ACCESS_DENIED, true, 0, 0, false,
                                 "IsRunAsAdmin failed w/err 0x00000005"}),
    [](const testing::TestParamInfo<RelaunchCase>& p) { return p.param.name; });

TEST(IsRunAsAdminTest, ThrowsTheErrorCodeOfAFailedMembershipCheck) {
    SystemCallsOverride restore;
    System().checkTokenMembership = [](HANDLE, PSID, PBOOL) {
        ::SetLastError(ERROR_NO_TOKEN);
        return FALSE;
    };
    try {
        IsRunAsAdmin();
        FAIL() << "no exception";
    } catch (DWORD error) {
        EXPECT_EQ(DWORD(ERROR_NO_TOKEN), error);
    }
}

// Wine gives its user the Administrators group, as an elevated Windows session does.
TEST(IsRunAsAdminTest, RealCheckUnderWineSaysAdministrator) {
    EXPECT_TRUE(IsRunAsAdmin());
}

}  // namespace
