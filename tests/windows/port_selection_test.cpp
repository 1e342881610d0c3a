// The port selection dialog, run for real under Wine: its template, the port list (from
// Wine's spooler and from port tables), which ports OK installs on, Configure Port,
// Create Port, the busy notice during the installation, and the ways of leaving.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "InstallFixtures.h"
#include "TestSupport.h"
#include "app/SetupApp.h"
#include "ports/PortSelection.h"
#include "resource.h"
#include "state/ProcessWide.h"

using namespace testing_support;

namespace {

// The application message box is captioned with the program's name.
constexpr char kAppName[] = "port_selection_test";
constexpr char kCaption[] = "ZNT Printer Driver - Setup";
constexpr char kExitQuestion[] =
    "Setup is not complete. If you quit now, the program will not be installed.\nExit Setup?";

HWND List(HWND d) {
    return ::GetDlgItem(d, IDC_PORT_LIST);
}

int EntryCount(HWND d) {
    return static_cast<int>(::SendMessageA(List(d), LB_GETCOUNT, 0, 0));
}

int Selected(HWND d) {
    return static_cast<int>(::SendMessageA(List(d), LB_GETCURSEL, 0, 0));
}

std::string EntryText(HWND d, int index) {
    std::string text(::SendMessageA(List(d), LB_GETTEXTLEN, index, 0) + 1, '\0');
    text.resize(::SendMessageA(List(d), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())));
    return text;
}

std::string EntryPort(HWND d, int index) {
    return reinterpret_cast<const char*>(::SendMessageA(List(d), LB_GETITEMDATA, index, 0));
}

std::string CurrentPort(HWND d) {
    HWND edit = ::GetDlgItem(d, IDC_CURRENT_PORT);
    std::string text(::GetWindowTextLengthA(edit) + 1, '\0');
    text.resize(::GetWindowTextA(edit, text.data(), static_cast<int>(text.size())));
    return text;
}

int FindEntry(HWND d, const std::string& port) {
    for (int i = 0; i < EntryCount(d); ++i) {
        if (EntryPort(d, i) == port) return i;
    }
    return -1;
}

// As a click on an entry: the selection moves and the list tells the dialog.
void Choose(HWND d, const std::string& port) {
    int index = FindEntry(d, port);
    ASSERT_GE(index, 0) << port;
    ::SendMessageA(List(d), LB_SETCURSEL, index, 0);
    ::SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_PORT_LIST, LBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(List(d)));
}

void Click(HWND d, int id) {
    ::SendDlgItemMessageA(d, id, BM_CLICK, 0, 0);
}

bool IsShown(HWND d, int id) {
    return (::GetWindowLongA(::GetDlgItem(d, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

const std::vector<FakePort> kPortsWithLpt1 = {
    {"COM3:", "Local Port"},
    {"LPT1:", "Local Port"},
    {"IP_192.168.1.20", "Standard TCP/IP Port"},
    {"IP_10.0.0.1.5", "Standard TCP/IP Port"},
    {"FILE:", "Print to File"},
};

class PortSelectionTest : public testing::Test {
protected:
    void SetUp() override {
        ::InitCommonControls();
        ResetProcessWide();
        Process().setup.printerName = "Port Test Printer";
    }

    CSetupApp app_;
    MessageBoxScript boxes_;
};

// --- The template ---------------------------------------------------------------

struct ExpectedControl {
    DWORD id;
    const char* className;
    const char* text;
    DWORD requiredStyle;
    DWORD forbiddenStyle;
};

TEST(PortSelectionTemplateTest, MatchesTheIntendedLayout) {
    DialogTemplate t = LoadDialogTemplate(IDD_PORT_SELECTION);
    const DWORD required = DS_SETFONT | DS_CENTER | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    EXPECT_EQ(required, t.style & required);
    EXPECT_EQ(0u, t.style & WS_MAXIMIZEBOX);
    EXPECT_EQ(DWORD(WS_EX_APPWINDOW), t.exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ("Quelor ZNT Series Printer Driver - Setup", t.title);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Shell Dlg", t.typeface);

    const ExpectedControl expected[] = {
        {DWORD(-1), "Static",
         "Select the printer port from the Available Ports list, then click OK.", 0, 0},
        {DWORD(-1), "Static", "Current Port:", 0, 0},
        {IDC_CURRENT_PORT, "Edit", "", ES_READONLY, 0},
        {DWORD(-1), "Static", "Available Ports:", 0, 0},
        {IDC_PORT_LIST, "ListBox", "", LBS_NOTIFY | LBS_SORT | WS_VSCROLL, 0},
        {IDC_CREATE_PORT, "Button", "Create Port", 0, BS_DEFPUSHBUTTON},
        {IDC_CONFIGURE_PORT, "Button", "Configure Port", 0, BS_DEFPUSHBUTTON},
        {IDC_PORT_SELECT_OK, "Button", "OK", BS_DEFPUSHBUTTON, WS_DISABLED},
        {IDC_PORT_SELECT_CANCEL, "Button", "Cancel", 0, BS_DEFPUSHBUTTON},
    };
    ASSERT_EQ(std::size(expected), t.controls.size());
    for (size_t i = 0; i < std::size(expected); ++i) {
        const ExpectedControl& e = expected[i];
        const TemplateControl& c = t.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + e.text + ")");
        EXPECT_EQ(e.id, c.id);
        EXPECT_EQ(e.className, c.className);
        EXPECT_EQ(e.text, c.text);
        EXPECT_EQ(e.requiredStyle, c.style & e.requiredStyle);
        EXPECT_EQ(0u, c.style & e.forbiddenStyle);
        EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE), c.style & (WS_CHILD | WS_VISIBLE));
        // Every control lies inside the dialog.
        EXPECT_LE(c.x + c.cx, t.cx);
        EXPECT_LE(c.y + c.cy, t.cy);
    }
}

// --- The list ---------------------------------------------------------------------

// The ports of Wine's own spooler, at level 2, in its order.
std::vector<FakePort> SpoolerPorts() {
    std::vector<FakePort> ports;
    for (const SpoolerPort& port : ListSpoolerPorts())
        ports.push_back({port.name, port.description});
    return ports;
}

TEST_F(PortSelectionTest, ListsTheSpoolersPortsWithLpt1Preselected) {
    Process().setup.portKind = "LPT";
    std::vector<FakePort> spooler = SpoolerPorts();
    ASSERT_FALSE(spooler.empty());
    CPortSelection dialog;
    RunModal(dialog, {[&](HWND d) {
                 ASSERT_EQ(int(spooler.size()), EntryCount(d));
                 // The spooler's order, whatever the list's sort style would do.
                 for (size_t i = 0; i < spooler.size(); ++i) {
                     EXPECT_EQ(spooler[i].name + " (" + spooler[i].description + ")",
                               EntryText(d, int(i)));
                     EXPECT_EQ(spooler[i].name, EntryPort(d, int(i)));
                 }
                 ASSERT_GE(Selected(d), 0);
                 EXPECT_EQ("LPT1:", EntryPort(d, Selected(d)));
                 EXPECT_EQ("LPT1: (Local Port)", CurrentPort(d));
                 EXPECT_EQ("LPT1:", Process().selectedPort);
                 EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(d, IDC_PORT_SELECT_OK)));
                 EXPECT_FALSE(IsShown(d, IDC_CREATE_PORT));
                 EXPECT_TRUE(::IsWindowVisible(d));
                 ::RedrawWindow(d, nullptr, nullptr,
                                RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                 EXPECT_TRUE(SaveScreenshot(ScreenshotPath("port-selection-lpt1.bmp")));
             }});
    EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(PortSelectionTest, WithoutLpt1NothingIsSelectedAndNothingCanBeInstalled) {
    Process().setup.portKind = "LPT";
    FakePortList ports({{"COM1:", "Local Port"}, {"FILE:", "Print to File"}});
    RecordedInstallations installs;
    CPortSelection dialog;
    INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                           EXPECT_EQ(2, EntryCount(d));
                                           EXPECT_EQ(LB_ERR, Selected(d));
                                           EXPECT_EQ("", CurrentPort(d));
                                           EXPECT_EQ("", Process().selectedPort);
                                           Click(d, IDC_PORT_SELECT_OK);
                                           Click(d, IDC_CONFIGURE_PORT);
                                       },
                                       [](HWND d) { EXPECT_TRUE(::IsWindowVisible(d)); }});
    EXPECT_EQ(kNotEnded, result);
    ASSERT_EQ(2u, boxes_.shown().size());
    for (const auto& box : boxes_.shown()) {
        EXPECT_EQ("Port not supported", box.text);
        EXPECT_EQ(kAppName, box.caption);
        EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), box.type);
    }
    EXPECT_TRUE(installs.printerPorts.empty());
}

TEST_F(PortSelectionTest, LongPortNamesAreListedAndInstalledWhole) {
    Process().setup.portKind = "LPT";
    const std::string longName = "IP_" + std::string(3000, '7') + ".1.2.3.4";
    FakePortList ports({{longName, std::string(2000, 'd')}, {"LPT1:", "Local Port"}});
    RecordedInstallations installs;
    System().configurePort = [](LPSTR, HWND, LPSTR) { return TRUE; };
    CPortSelection dialog;
    INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                           ASSERT_EQ(2, EntryCount(d));
                                           EXPECT_EQ(longName, EntryPort(d, 0));
                                           Choose(d, longName);
                                           EXPECT_EQ(longName + " (" + std::string(2000, 'd') + ")",
                                                     CurrentPort(d));
                                           // Four dots: not an address-named port.
                                           Click(d, IDC_CONFIGURE_PORT);
                                           Click(d, IDC_PORT_SELECT_OK);
                                       },
                                       [](HWND) {}});
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(std::vector<std::string>{longName}, installs.printerPorts);
    ASSERT_EQ(1u, boxes_.shown().size());
    EXPECT_EQ("Port not supported", boxes_.shown()[0].text);
}

TEST_F(PortSelectionTest, ASpoolerWithoutPortsGivesAnEmptyList) {
    Process().setup.portKind = "COM";
    FakePortList ports({});
    CPortSelection dialog;
    RunModal(dialog, {[&](HWND d) {
                 EXPECT_EQ(0, EntryCount(d));
                 EXPECT_EQ("", CurrentPort(d));
             }});
    EXPECT_EQ(1, ports.calls);
    EXPECT_TRUE(boxes_.shown().empty());
}

// Create Port's own dialog searches the network by broadcast, which these tests never
// send: it is counted instead of run.
class OfflinePortSelection : public CPortSelection {
public:
    int addPortDialogs = 0;

protected:
    void RunAddPortDialog() override { ++addPortDialogs; }
};

struct EnumerationFailureCase {
    const char* name;
    bool afterCreatePort;
    FakePortList::Failure failure;
    int answer;  // to the exit question
    const char* message;
};

class PortEnumerationFailureTest : public PortSelectionTest,
                                   public testing::WithParamInterface<EnumerationFailureCase> {};

TEST_P(PortEnumerationFailureTest, SaysSoThenAsksWhetherToLeave) {
    const EnumerationFailureCase& c = GetParam();
    Process().setup.portKind = "TCPIP";
    FakePortList ports(kPortsWithLpt1);
    if (!c.afterCreatePort) ports.failNext = c.failure;
    boxes_.Answer(IDOK);
    boxes_.Answer(c.answer);
    OfflinePortSelection dialog;
    HWND window = nullptr;
    INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                           window = d;
                                           if (!c.afterCreatePort) return;
                                           ports.failNext = c.failure;
                                           Click(d, IDC_CREATE_PORT);
                                       },
                                       [](HWND) {}});
    EXPECT_EQ(c.answer == IDYES ? IDCANCEL : kNotEnded, result);
    EXPECT_EQ(c.afterCreatePort ? 1 : 0, dialog.addPortDialogs);
    ASSERT_EQ(2u, boxes_.shown().size());
    EXPECT_EQ(c.message, boxes_.shown()[0].text);
    EXPECT_EQ(kCaption, boxes_.shown()[0].caption);
    EXPECT_EQ(UINT(MB_OKCANCEL), boxes_.shown()[0].type);
    EXPECT_EQ(kExitQuestion, boxes_.shown()[1].text);
    EXPECT_EQ(kCaption, boxes_.shown()[1].caption);
    EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), boxes_.shown()[1].type);
    for (const auto& box : boxes_.shown()) {
        if (window) {
            EXPECT_EQ(window, box.owner);
        }
        EXPECT_NE(nullptr, box.owner);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PortEnumerationFailureTest,
    testing::Values(EnumerationFailureCase{"AtStartFirstCallThenNo", false,
                                           FakePortList::Failure::FirstCall, IDNO,
                                           "Unexpected error  occured while port enumeration."},
                    EnumerationFailureCase{"AtStartSecondCallThenYes", false,
                                           FakePortList::Failure::SecondCall, IDYES,
                                           "Unexpected error  occured while port enumeration."},
                    EnumerationFailureCase{"AfterCreatePortFirstCallThenYes", true,
                                           FakePortList::Failure::FirstCall, IDYES,
                                           "Unexpected error occured while port enumeration."},
                    EnumerationFailureCase{"AfterCreatePortSecondCallThenNo", true,
                                           FakePortList::Failure::SecondCall, IDNO,
                                           "Unexpected error occured while port enumeration."}),
    [](const testing::TestParamInfo<EnumerationFailureCase>& p) { return p.param.name; });

// --- OK ---------------------------------------------------------------------------

TEST_F(PortSelectionTest, OkInstallsOnPortsTheKindAccepts) {
    const char* kinds[] = {"COM", "TCPIP", "LPT", "UTP", "lpt"};
    const char* entries[] = {"COM3:", "LPT1:", "IP_192.168.1.20", "FILE:"};
    for (const char* kind : kinds) {
        for (const char* entry : entries) {
            // The serial kind takes only COM entries; the other kinds, compared exactly,
            // take every entry.
            std::string k = kind;
            bool accepted =
                std::string(entry).rfind("COM", 0) == 0 || k == "TCPIP" || k == "LPT" || k == "UTP";
            SCOPED_TRACE(std::string(kind) + " x " + entry);
            ResetProcessWide();
            Process().setup.printerName = "Port Test Printer";
            Process().setup.portKind = kind;
            MessageBoxScript boxes;
            FakePortList ports(kPortsWithLpt1);
            RecordedInstallations installs;
            CPortSelection dialog;
            INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                                   Choose(d, entry);
                                                   Click(d, IDC_PORT_SELECT_OK);
                                               },
                                               [](HWND) {}});
            if (accepted) {
                EXPECT_EQ(IDOK, result);
                EXPECT_EQ(std::vector<std::string>{entry}, installs.printerPorts);
                EXPECT_EQ(std::vector<std::string>{"Port Test Printer"}, installs.printerNames);
                EXPECT_TRUE(boxes.shown().empty());
            } else {
                EXPECT_EQ(kNotEnded, result);
                EXPECT_TRUE(installs.printerPorts.empty());
                ASSERT_EQ(1u, boxes.shown().size());
                EXPECT_EQ("Port not supported", boxes.shown()[0].text);
                EXPECT_EQ(kAppName, boxes.shown()[0].caption);
            }
            EXPECT_EQ(entry, Process().selectedPort);
        }
    }
}

// Wine draws windows off-screen and puts them on the screen when the thread looks at its
// queue (or after 50 ms of drawing): after UpdateWindow alone this screenshot showed an
// empty frame there, where Windows would have painted straight to the screen.
TEST_F(PortSelectionTest, TheBusyNoticeIsPaintedWhileTheInstallationHoldsTheThread) {
    Process().setup.portKind = "LPT";
    FakePortList ports(kPortsWithLpt1);
    RecordedInstallations installs;
    std::string noticeText;
    bool dialogHidden = false;
    int darkPixels = 0;
    HWND dialogWindow = nullptr;
    installs.duringAdd = [&] {
        // No message is handled from here on until the installation ends: what the screen
        // shows now is what was painted before it started.
        HWND notice = nullptr;
        for (HWND w = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); w;
             w = ::FindWindowExA(nullptr, w, "#32770", nullptr)) {
            if (w != dialogWindow && ::IsWindowVisible(w)) notice = w;
        }
        ASSERT_NE(nullptr, notice);
        HWND text = ::GetDlgItem(notice, IDC_NOTICE_TEXT);
        noticeText = WindowText(text);
        dialogHidden = !::IsWindowVisible(dialogWindow);
        RECT area;
        ::GetWindowRect(text, &area);
        HDC screen = ::GetDC(nullptr);
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                COLORREF pixel = ::GetPixel(screen, x, y);
                if (GetRValue(pixel) < 80 && GetGValue(pixel) < 80 && GetBValue(pixel) < 80) {
                    ++darkPixels;
                }
            }
        }
        ::ReleaseDC(nullptr, screen);
        EXPECT_TRUE(SaveScreenshot(ScreenshotPath("busy-notice-during-installation.bmp")));
    };
    CPortSelection dialog;
    INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                           dialogWindow = d;
                                           Click(d, IDC_PORT_SELECT_OK);
                                       },
                                       [](HWND) {}});
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(std::vector<std::string>{"LPT1:"}, installs.printerPorts);
    EXPECT_EQ("Installing.......\n\nPlease wait", noticeText);
    EXPECT_TRUE(dialogHidden);
    // The text is drawn in black on the dialog's face colour.
    EXPECT_GT(darkPixels, 50);
}

TEST_F(PortSelectionTest, InstallOnChosenPortForUsbAppendsAColonAndShowsNothing) {
    Process().setup.usbSelected = 1;
    Process().setup.portName = "COM7";
    Process().selectedPort = "LPT1:";
    RecordedInstallations installs;
    CPortSelection portSelection;
    portSelection.InstallOnChosenPort();
    EXPECT_EQ(nullptr, portSelection.GetSafeHwnd());
    EXPECT_EQ(std::vector<std::string>{"COM7:"}, installs.printerPorts);
    EXPECT_EQ("COM7:", Process().setup.portName);
    EXPECT_TRUE(boxes_.shown().empty());
}

// --- Configure Port ----------------------------------------------------------------

struct ConfigureCase {
    const char* kind;
    const char* entry;         // port of the entry chosen
    const char* configuredAs;  // nullptr: "Port not supported"
};

TEST_F(PortSelectionTest, ConfigurePortHandsOnlyPortsTheKindAllowsToTheirMonitor) {
    const ConfigureCase cases[] = {
        {"COM", "COM3:", "COM3:"},
        {"COM", "LPT1:", nullptr},
        {"LPT", "LPT1:", nullptr},
        {"LPT", "COM3:", nullptr},
        {"TCPIP", "IP_192.168.1.20", "IP_192.168.1.20"},
        {"TCPIP", "IP_10.0.0.1.5", nullptr},
        {"UTP", "IP_192.168.1.20", "IP_192.168.1.20"},
        // An entry without a port name before its description.
        {"TCPIP", "", nullptr},
    };
    for (const ConfigureCase& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " x " + c.entry);
        ResetProcessWide();
        Process().setup.portKind = c.kind;
        MessageBoxScript boxes;
        std::vector<FakePort> table = kPortsWithLpt1;
        table.push_back({"", "Nameless"});
        FakePortList ports(table);
        std::vector<std::string> configured;
        HWND owner = nullptr, window = nullptr;
        System().configurePort = [&](LPSTR server, HWND o, LPSTR name) {
            EXPECT_EQ(nullptr, server);
            owner = o;
            configured.push_back(name);
            return TRUE;
        };
        CPortSelection dialog;
        INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                               window = d;
                                               Choose(d, c.entry);
                                               Click(d, IDC_CONFIGURE_PORT);
                                           },
                                           [](HWND) {}});
        EXPECT_EQ(kNotEnded, result);
        if (c.configuredAs) {
            EXPECT_EQ(std::vector<std::string>{c.configuredAs}, configured);
            EXPECT_EQ(window, owner);
            EXPECT_TRUE(boxes.shown().empty());
        } else {
            EXPECT_TRUE(configured.empty());
            ASSERT_EQ(1u, boxes.shown().size());
            EXPECT_EQ("Port not supported", boxes.shown()[0].text);
            EXPECT_EQ(kAppName, boxes.shown()[0].caption);
        }
    }
}

TEST_F(PortSelectionTest, ARefusedConfigurationIsReported) {
    Process().setup.portKind = "COM";
    FakePortList ports(kPortsWithLpt1);
    System().configurePort = [](LPSTR, HWND, LPSTR) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    };
    CPortSelection dialog;
    RunModal(dialog, {[&](HWND d) {
                          Choose(d, "COM3:");
                          Click(d, IDC_CONFIGURE_PORT);
                      },
                      [](HWND d) { EXPECT_EQ(5, EntryCount(d)); }});
    ASSERT_EQ(1u, boxes_.shown().size());
    EXPECT_EQ(
        "An error occurred during port configuration. The port may be in use or may not exist. ",
        boxes_.shown()[0].text);
    EXPECT_EQ(kAppName, boxes_.shown()[0].caption);
    EXPECT_EQ(UINT(MB_OK | MB_ICONEXCLAMATION), boxes_.shown()[0].type);
}

// --- Create Port ---------------------------------------------------------------------

TEST_F(PortSelectionTest, CreatePortIsShownOnlyForTheTcpIpKindInAnyCase) {
    const struct {
        const char* kind;
        bool shown;
    } cases[] = {{"TCPIP", true}, {"tcpip", true}, {"TcpIp", true}, {"COM", false},
                 {"LPT", false},  {"UTP", false},  {"", false}};
    FakePortList ports(kPortsWithLpt1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        Process().setup.portKind = c.kind;
        CPortSelection dialog;
        RunModal(dialog, {[&](HWND d) { EXPECT_EQ(c.shown, IsShown(d, IDC_CREATE_PORT)); }});
    }
}

TEST_F(PortSelectionTest, CreatePortRefillsTheListAndSelectsLpt1Again) {
    Process().setup.portKind = "TCPIP";
    FakePortList ports(kPortsWithLpt1);
    OfflinePortSelection dialog;
    RunModal(dialog, {[&](HWND d) {
                          Choose(d, "COM3:");
                          EXPECT_EQ("COM3: (Local Port)", CurrentPort(d));
                          EXPECT_EQ("COM3:", Process().selectedPort);
                          ports.ports.push_back({"IP_192.168.1.30", "Standard TCP/IP Port"});
                          Click(d, IDC_CREATE_PORT);
                      },
                      [&](HWND d) {
                          ASSERT_EQ(6, EntryCount(d));
                          EXPECT_EQ("IP_192.168.1.30 (Standard TCP/IP Port)", EntryText(d, 5));
                          EXPECT_EQ("IP_192.168.1.30", EntryPort(d, 5));
                          EXPECT_EQ(FindEntry(d, "LPT1:"), Selected(d));
                          EXPECT_EQ("LPT1: (Local Port)", CurrentPort(d));
                          EXPECT_EQ("LPT1:", Process().selectedPort);
                          // One port name per entry: the old list's names are gone.
                          EXPECT_EQ(6u, dialog.HeldPortNameCount());
                          Click(d, IDC_CREATE_PORT);
                          EXPECT_EQ(6u, dialog.HeldPortNameCount());
                      }});
    // The names went with the list.
    EXPECT_EQ(0u, dialog.HeldPortNameCount());
    EXPECT_EQ(2, dialog.addPortDialogs);
    EXPECT_TRUE(boxes_.shown().empty());
    EXPECT_EQ(6, ports.calls);
}

// --- Leaving --------------------------------------------------------------------------

TEST_F(PortSelectionTest, EscapeChangesNothing) {
    Process().setup.portKind = "LPT";
    FakePortList ports(kPortsWithLpt1);
    CPortSelection dialog;
    INT_PTR result = RunModal(dialog, {[](HWND d) {
                                           Choose(d, "COM3:");
                                           PostEscape(d);
                                       },
                                       [](HWND d) {
                                           EXPECT_TRUE(::IsWindowVisible(d));
                                           EXPECT_EQ("COM3: (Local Port)", CurrentPort(d));
                                       }});
    EXPECT_EQ(kNotEnded, result);
    EXPECT_TRUE(boxes_.shown().empty());

    // The same key reaches a dialog on the template without the filter and closes it.
    CDialog plain(IDD_PORT_SELECTION);
    EXPECT_EQ(IDCANCEL, RunModal(plain, {PostEscape, [](HWND) {}}));
}

class PortSelectionLeaveTest : public PortSelectionTest,
                               public testing::WithParamInterface<LeaveCase> {};

TEST_P(PortSelectionLeaveTest, AsksBeforeLeavingAndNoKeepsTheChoice) {
    Process().setup.portKind = "LPT";
    FakePortList ports(kPortsWithLpt1);
    RecordedInstallations installs;
    boxes_.Answer(IDNO);
    boxes_.Answer(IDYES);
    CPortSelection dialog;
    INT_PTR result = RunModal(dialog, {[](HWND d) {
                                           Choose(d, "COM3:");
                                           GetParam().leave(d);
                                       },
                                       [&](HWND d) {
                                           ASSERT_EQ(1u, boxes_.shown().size());
                                           EXPECT_TRUE(::IsWindowVisible(d));
                                           EXPECT_EQ("COM3: (Local Port)", CurrentPort(d));
                                           GetParam().leave(d);
                                       },
                                       [](HWND) {}});
    EXPECT_EQ(IDCANCEL, result);
    ASSERT_EQ(2u, boxes_.shown().size());
    for (const auto& box : boxes_.shown()) {
        EXPECT_EQ(kExitQuestion, box.text);
        EXPECT_EQ(kCaption, box.caption);
        EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), box.type);
        EXPECT_NE(nullptr, box.owner);
    }
    EXPECT_TRUE(installs.printerPorts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Ways, PortSelectionLeaveTest,
    testing::Values(LeaveCase{"CancelButton", [](HWND d) { Click(d, IDC_PORT_SELECT_CANCEL); }},
                    LeaveCase{"CloseBox",
                              [](HWND d) { ::PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    [](const testing::TestParamInfo<LeaveCase>& p) { return p.param.name; });

}  // namespace
