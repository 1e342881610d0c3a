// The USB printer arrival dialog, run for real under Wine: its template and prompts, the
// notification it registers, which arrivals it acts on, Enter, and the exit question.
#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "InstallFixtures.h"
#include "TestSupport.h"
#include "app/SetupApp.h"
#include "ports/DeviceChangeNotification.h"
#include "resource.h"
#include "state/ProcessWide.h"

using namespace testing_support;

namespace {

constexpr char kConnectPrompt[] =
    "Please connect and power ON the printer.\n\nThis will search and configure USB Port.";

std::string Prompt(HWND d) {
    return WindowText(::GetDlgItem(d, IDC_ARRIVAL_PROMPT));
}

// A device broadcast as the system sends it: the header, the class and the interface name.
struct Broadcast {
    explicit Broadcast(DWORD deviceType, const std::string& name = "") {
        size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + name.size() + 1;
        bytes.resize(std::max(size, sizeof(DEV_BROADCAST_DEVICEINTERFACE_A)));
        auto* device = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(bytes.data());
        device->dbcc_size = static_cast<DWORD>(size);
        device->dbcc_devicetype = deviceType;
        memcpy(device->dbcc_name, name.c_str(), name.size() + 1);
    }
    LPARAM get() { return reinterpret_cast<LPARAM>(bytes.data()); }
    std::vector<BYTE> bytes;
};

const std::string kPrinterInterface =
    "\\\\?\\USB#VID_1CBE&PID_0002#A0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const std::string kPrinterInterfaceLowerCase =
    "\\\\?\\usb#vid_1cbe&pid_0002#a0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
const std::string kMouseInterface =
    "\\\\?\\USB#VID_046D&PID_C52B#0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

void Deliver(HWND d, WPARAM event, Broadcast broadcast) {
    ::SendMessageA(d, WM_DEVICECHANGE, event, broadcast.get());
}

class DeviceArrivalTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessWide();
        Process().setup.printerName = "Arrival Test Printer";
    }

    CSetupApp app_;
    MessageBoxScript boxes_;
};

TEST(DeviceArrivalTemplateTest, MatchesTheIntendedLayout) {
    DialogTemplate t = LoadDialogTemplate(IDD_DEVICE_ARRIVAL);
    const DWORD required = DS_SETFONT | DS_MODALFRAME | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(required, t.style & required);
    EXPECT_EQ(238, t.cx);
    EXPECT_EQ(65, t.cy);
    EXPECT_EQ("", t.title);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Shell Dlg", t.typeface);
    ASSERT_EQ(1u, t.controls.size());
    const TemplateControl& text = t.controls[0];
    EXPECT_EQ(DWORD(IDC_ARRIVAL_PROMPT), text.id);
    EXPECT_EQ("Static", text.className);
    EXPECT_EQ("Please power Off/On the printer to continue installation.", text.text);
    EXPECT_EQ((std::vector<short>{17, 14, 207, 38}),
              (std::vector<short>{text.x, text.y, text.cx, text.cy}));
}

TEST_F(DeviceArrivalTest, PromptDependsOnWhetherTheDeviceWasKnownAndUsesVerdana) {
    const struct {
        int known;
        const char* prompt;
    } cases[] = {
        {1, "Please power Off/On the printer to continue driver installation."},
        {0, kConnectPrompt},
    };
    for (const auto& c : cases) {
        Process().setup.usbDeviceKnown = c.known;
        CDeviceChangeNotification dialog;
        RunModal(dialog, {[&](HWND d) {
                     EXPECT_EQ(c.prompt, Prompt(d));
                     EXPECT_EQ("", WindowText(d));
                     HFONT font = reinterpret_cast<HFONT>(
                         ::SendDlgItemMessageA(d, IDC_ARRIVAL_PROMPT, WM_GETFONT, 0, 0));
                     LOGFONTA logFont{};
                     ASSERT_NE(0, ::GetObjectA(font, sizeof logFont, &logFont));
                     EXPECT_STREQ("Verdana", logFont.lfFaceName);
                     if (c.known == 0) {
                         EXPECT_TRUE(SaveScreenshot(ScreenshotPath("arrival-dialog.bmp")));
                     }
                 }});
    }
}

TEST_F(DeviceArrivalTest, RegistersForEveryUsbDeviceInterfaceOfItsOwnWindow) {
    std::vector<BYTE> filter;
    HANDLE recipient = nullptr;
    DWORD flags = 0xFFFF;
    bool registered = false;
    System().registerDeviceNotification = [&](HANDLE r, LPVOID f, DWORD fl) {
        const auto* header = static_cast<const DEV_BROADCAST_HDR*>(f);
        const BYTE* bytes = static_cast<const BYTE*>(f);
        filter.assign(bytes, bytes + header->dbch_size);
        recipient = r;
        flags = fl;
        // The real registration, so that the handle the dialog keeps is a real one.
        HDEVNOTIFY handle = ::RegisterDeviceNotificationA(r, f, fl);
        registered = handle != nullptr;
        return handle;
    };
    CDeviceChangeNotification dialog;
    HWND window = nullptr;
    RunModal(dialog, {[&](HWND d) { window = d; }});

    const BYTE expected[32] = {32,   0,    0,    0,    5,    0,    0,    0,    0,    0,    0,
                               0,    0x10, 0xBF, 0xDC, 0xA5, 0x30, 0x65, 0xD2, 0x11, 0x90, 0x1F,
                               0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED, 0,    0,    0,    0};
    EXPECT_EQ(std::vector<BYTE>(expected, expected + 32), filter);
    EXPECT_EQ(window, recipient);
    EXPECT_EQ(DWORD(DEVICE_NOTIFY_WINDOW_HANDLE), flags);
    EXPECT_TRUE(registered);
}

TEST_F(DeviceArrivalTest, ThePrintersArrivalRunsTheUsbStepsOnce) {
    RecordedInstallations installs;
    std::string promptDuringInstallation;
    HWND window = nullptr;
    System().updateDriverForPlugAndPlayDevices = [&](HWND, LPCSTR id, LPCSTR inf, DWORD, PBOOL) {
        EXPECT_STREQ("USB\\VID_1CBE&PID_0002", id);
        installs.updatedDriverInfs.push_back(inf ? inf : "");
        promptDuringInstallation = Prompt(window);
        return TRUE;
    };
    CDeviceChangeNotification dialog;
    INT_PTR result =
        RunModal(dialog, {[&](HWND d) {
                              window = d;
                              Deliver(d, DBT_DEVICEARRIVAL,
                                      Broadcast(DBT_DEVTYP_DEVICEINTERFACE, kPrinterInterface));
                              // Another arrival before the dialog has gone:
                              // the steps have run already.
                              Deliver(d, DBT_DEVICEARRIVAL,
                                      Broadcast(DBT_DEVTYP_DEVICEINTERFACE, kPrinterInterface));
                          },
                          [](HWND) {}});
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ("\n  Driver installation is in progress... !!", promptDuringInstallation);
    // The setup INF, then the INF of the driver update.
    EXPECT_EQ(2u, installs.copiedInfs.size());
    EXPECT_EQ(1u, installs.updatedDriverInfs.size());
    EXPECT_EQ(std::vector<std::string>{"Version - 1.01.007"}, installs.defaultPrinters);
    EXPECT_TRUE(installs.printerPorts.empty());
    EXPECT_EQ(2, Process().arrivalCount);
    EXPECT_EQ(2, Process().usbInstallRound);
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(DeviceArrivalTest, ARefusedSetupInfSkipsTheDriverUpdateAndTheStatusMonitor) {
    RecordedInstallations installs;
    System().setupCopyOEMInf = [](PCSTR, PCSTR, DWORD, DWORD, PSTR, DWORD, PDWORD, PSTR*) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    };
    CDeviceChangeNotification dialog;
    INT_PTR result = RunModal(
        dialog, {[&](HWND d) {
                     Deliver(d, DBT_DEVICEARRIVAL,
                             Broadcast(DBT_DEVTYP_DEVICEINTERFACE, kPrinterInterfaceLowerCase));
                 },
                 [](HWND) {}});
    EXPECT_EQ(IDOK, result);
    EXPECT_TRUE(installs.updatedDriverInfs.empty());
    EXPECT_TRUE(installs.defaultPrinters.empty());
    EXPECT_EQ(1, Process().arrivalCount);
    EXPECT_EQ(1, Process().usbInstallRound);
}

TEST_F(DeviceArrivalTest, OtherEventsDevicesAndUsbDevicesAreIgnored) {
    RecordedInstallations installs;
    CDeviceChangeNotification dialog;
    INT_PTR result = RunModal(
        dialog, {[&](HWND d) {
                     Deliver(d, DBT_DEVICEREMOVECOMPLETE,
                             Broadcast(DBT_DEVTYP_DEVICEINTERFACE, kPrinterInterface));
                     Deliver(d, DBT_DEVICEARRIVAL, Broadcast(DBT_DEVTYP_PORT, "COM5"));
                     Deliver(d, DBT_DEVICEARRIVAL,
                             Broadcast(DBT_DEVTYP_DEVICEINTERFACE, kMouseInterface));
                     // A broadcast that claims less than its name: the name is not read
                     // past the size given.
                     Broadcast cut(DBT_DEVTYP_DEVICEINTERFACE, kPrinterInterface);
                     reinterpret_cast<DEV_BROADCAST_HDR*>(cut.bytes.data())->dbch_size = 20;
                     ::SendMessageA(d, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, cut.get());
                     ::SendMessageA(d, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
                 },
                 [](HWND d) {
                     EXPECT_TRUE(::IsWindowVisible(d));
                     EXPECT_EQ(kConnectPrompt, Prompt(d));
                 }});
    EXPECT_EQ(kNotEnded, result);
    EXPECT_EQ(0, Process().arrivalCount);
    EXPECT_TRUE(installs.copiedInfs.empty());
    EXPECT_TRUE(installs.updatedDriverInfs.empty());
}

void PostKey(HWND d, WPARAM key) {
    HWND focus = ::GetFocus();
    ::PostMessageA(focus ? focus : d, WM_KEYDOWN, key, 0x00010001);
}

// Watches what the dialog's prompt is told to show.
class PromptTexts {
public:
    PromptTexts() {
        texts_.clear();
        hook_ = ::SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~PromptTexts() { ::UnhookWindowsHookEx(hook_); }
    static const std::vector<std::string>& texts() { return texts_; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* message = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && message->message == WM_SETTEXT &&
            ::GetDlgCtrlID(message->hwnd) == IDC_ARRIVAL_PROMPT) {
            texts_.push_back(reinterpret_cast<const char*>(message->lParam));
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline std::vector<std::string> texts_;
    HHOOK hook_;
};

TEST_F(DeviceArrivalTest, EnterDoesNothingBeforeAnArrival) {
    CDeviceChangeNotification dialog;
    INT_PTR result = RunModal(dialog, {[](HWND d) { PostKey(d, VK_RETURN); },
                                       [](HWND d) {
                                           EXPECT_TRUE(::IsWindowVisible(d));
                                           EXPECT_EQ(kConnectPrompt, Prompt(d));
                                       }});
    EXPECT_EQ(kNotEnded, result);
}

TEST_F(DeviceArrivalTest, EnterAfterAnArrivalSaysPleaseWaitAndClosesTwoSecondsLater) {
    // An arrival was acted on earlier in this run.
    Process().arrivalCount = 1;
    PromptTexts prompts;
    CDeviceChangeNotification dialog;
    auto pressed = std::chrono::steady_clock::now();
    INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                           pressed = std::chrono::steady_clock::now();
                                           PostKey(d, VK_RETURN);
                                       },
                                       [](HWND) {}});
    auto elapsed = std::chrono::steady_clock::now() - pressed;
    EXPECT_EQ(IDOK, result);
    EXPECT_GE(elapsed, std::chrono::milliseconds(2000));
    ASSERT_FALSE(prompts.texts().empty());
    EXPECT_EQ("Please wait...", prompts.texts().back());
}

TEST_F(DeviceArrivalTest, EscapeAndTheCloseBoxAskAndNoKeepsWaiting) {
    boxes_.Answer(IDNO);
    boxes_.Answer(IDNO);
    CDeviceChangeNotification dialog;
    INT_PTR result =
        RunModal(dialog, {[](HWND d) { PostKey(d, VK_ESCAPE); },
                          [](HWND d) { ::PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
                          [](HWND d) { EXPECT_TRUE(::IsWindowVisible(d)); }});
    EXPECT_EQ(kNotEnded, result);
    ASSERT_EQ(2u, boxes_.shown().size());
    for (const auto& box : boxes_.shown()) {
        EXPECT_EQ(
            "Setup is not complete. If you quit now, the program will not be installed.\n"
            "Exit Setup?",
            box.text);
        EXPECT_EQ("ZNT Series Printer Driver - Setup", box.caption);
        EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), box.type);
        EXPECT_NE(nullptr, box.owner);
    }
}

}  // namespace
