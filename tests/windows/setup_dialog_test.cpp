// The main setup dialog, run for real under Wine: its template, start state, printer
// count, radio buttons, and the ways of leaving it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "PrinterFixtures.h"
#include "TestSupport.h"
#include "state/ProcessWide.h"
#include "app/SetupApp.h"
#include "app/SetupDlg.h"
#include "resource.h"

using namespace testing_support;

namespace {

const int kRadios[] = {IDC_PORT_USB, IDC_PORT_SERIAL, IDC_PORT_TCPIP, IDC_PORT_LPT, IDC_PORT_UTP};

bool IsChecked(HWND dialog, int id) {
    return ::SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, int id) {
    ::SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0);
}

std::vector<int> CheckedRadios(HWND dialog) {
    std::vector<int> checked;
    for (int id : kRadios) {
        if (IsChecked(dialog, id)) checked.push_back(id);
    }
    return checked;
}

class SetupDialogTest : public testing::Test {
protected:
    void SetUp() override {
        // As the program's start-up does before any dialog.
        ::InitCommonControls();
        ResetProcessWide();
    }

    CSetupApp app_;
    MessageBoxScript boxes_;
};

// --- The template ---------------------------------------------------------------

struct ExpectedControl {
    DWORD id;
    const char* className;
    const char* text;
    short x, y, cx, cy;
    DWORD requiredStyle;
    DWORD forbiddenStyle;
};

TEST(SetupDialogTemplateTest, MatchesTheIntendedLayout) {
    DialogTemplate t = LoadDialogTemplate(IDD_SETUP_DIALOG);
    EXPECT_EQ(DWORD(DS_MODALFRAME | DS_CENTER | WS_MINIMIZEBOX | WS_VISIBLE | WS_CAPTION |
                    WS_SYSMENU | DS_SETFONT),
              t.style);
    EXPECT_EQ(DWORD(WS_EX_APPWINDOW), t.exStyle);
    EXPECT_EQ(333, t.cx);
    EXPECT_EQ(234, t.cy);
    EXPECT_EQ("Quelor ZNT Series Printer Driver - Setup", t.title);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Shell Dlg", t.typeface);

    const DWORD radio = BS_AUTORADIOBUTTON;
    const ExpectedControl expected[] = {
        {IDC_MODEL_LIST, "SysListView32", "", 14, 26, 312, 116,
         LVS_ICON | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_ALIGNLEFT | LVS_NOSCROLL | WS_BORDER |
             WS_TABSTOP,
         0},
        {IDC_MODEL_TAB, "SysTabControl32", "", 13, 14, 314, 130, 0, WS_TABSTOP},
        {IDOK, "Button", "OK", 171, 207, 57, 16, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
        {IDCANCEL, "Button", "Cancel", 258, 207, 58, 16, WS_TABSTOP | WS_GROUP, BS_DEFPUSHBUTTON},
        {IDC_PRINTER_NAME_LABEL, "Static", "Printer Name", 171, 160, 48, 10,
         SS_CENTERIMAGE | WS_GROUP, 0},
        {IDC_PRINTER_NAME, "Edit", "", 219, 158, 108, 14, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
         0},
        {IDC_PORT_GROUP, "Button", "Select Port", 13, 153, 142, 72, BS_GROUPBOX, 0},
        {IDC_PORT_USB, "Button", "USB", 27, 166, 36, 10, radio, WS_TABSTOP | WS_GROUP},
        {IDC_PORT_SERIAL, "Button", "SERIAL (COM)", 27, 185, 67, 10, radio, WS_TABSTOP | WS_GROUP},
        {DWORD(-1), "Static", "#129", 35, 37, 267, 92, SS_BITMAP, 0},
        {IDC_MAKE_DEFAULT, "Button", "Set as default printer", 171, 184, 80, 10,
         BS_AUTOCHECKBOX | WS_TABSTOP, 0},
        {IDC_PORT_TCPIP, "Button", "TCP/IP", 27, 205, 41, 10, radio, WS_TABSTOP | WS_GROUP},
        {IDC_PORT_LPT, "Button", "LPT", 98, 166, 27, 10, radio, WS_TABSTOP | WS_GROUP},
        {IDC_PORT_UTP, "Button", "USB (UTP)", 98, 205, 49, 10, radio, WS_TABSTOP | WS_GROUP},
        {IDC_LOGO, "Static", "#147", 244, 2, 84, 22, SS_BITMAP | SS_CENTERIMAGE, 0},
    };
    ASSERT_EQ(std::size(expected), t.controls.size());
    for (size_t i = 0; i < std::size(expected); ++i) {
        const ExpectedControl& e = expected[i];
        const TemplateControl& c = t.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (" + e.text + ")");
        EXPECT_EQ(e.id, c.id);
        EXPECT_EQ(e.className, c.className);
        EXPECT_EQ(e.text, c.text);
        EXPECT_EQ(e.x, c.x);
        EXPECT_EQ(e.y, c.y);
        EXPECT_EQ(e.cx, c.cx);
        EXPECT_EQ(e.cy, c.cy);
        EXPECT_EQ(e.requiredStyle, c.style & e.requiredStyle);
        EXPECT_EQ(0u, c.style & e.forbiddenStyle);
        EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE), c.style & (WS_CHILD | WS_VISIBLE));
    }
}

TEST(SetupDialogTemplateTest, BitmapsAndIconHaveTheirSizes) {
    struct {
        UINT id;
        int width, height;
    } bitmaps[] = {{IDB_PRINTERS, 400, 149}, {IDB_LOGO, 126, 35}};
    for (const auto& b : bitmaps) {
        HBITMAP bitmap =
            static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(b.id),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(nullptr, bitmap) << b.id;
        DIBSECTION dib{};
        ASSERT_EQ(int(sizeof dib), ::GetObjectA(bitmap, sizeof dib, &dib));
        EXPECT_EQ(b.width, dib.dsBm.bmWidth) << b.id;
        EXPECT_EQ(b.height, dib.dsBm.bmHeight) << b.id;
        EXPECT_EQ(24, dib.dsBm.bmBitsPixel) << b.id;
        ::DeleteObject(bitmap);
    }
    EXPECT_NE(nullptr, ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)));
}

// --- Start state ----------------------------------------------------------------

TEST_F(SetupDialogTest, OpensWithItsStartState) {
    CSetupDlg dialog;
    HICON programIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    INT_PTR result =
        RunModal(dialog, {[&](HWND d) {
                     EXPECT_EQ("Quelor ZNT Series Printer Driver - Setup", WindowText(d));
                     EXPECT_EQ("Quelor Thermal Receipt Printer",
                               WindowText(::GetDlgItem(d, IDC_PRINTER_NAME)));
                     EXPECT_EQ(std::vector<int>{IDC_PORT_USB}, CheckedRadios(d));
                     EXPECT_FALSE(IsChecked(d, IDC_MAKE_DEFAULT));

                     HWND tab = ::GetDlgItem(d, IDC_MODEL_TAB);
                     ASSERT_EQ(1, TabCtrl_GetItemCount(tab));
                     char text[64] = {};
                     TCITEMA item{};
                     item.mask = TCIF_TEXT;
                     item.pszText = text;
                     item.cchTextMax = sizeof text;
                     ::SendMessageA(tab, TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
                     EXPECT_STREQ("Printer Model", text);

                     HWND list = ::GetDlgItem(d, IDC_MODEL_LIST);
                     EXPECT_EQ(1, ListView_GetItemCount(list));
                     EXPECT_EQ(DWORD(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
                               ListView_GetExtendedListViewStyle(list));
                     EXPECT_EQ(UINT(LVIS_SELECTED | LVIS_FOCUSED),
                               ListView_GetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED));
                     EXPECT_EQ(list, ::GetFocus());

                     EXPECT_EQ(reinterpret_cast<LRESULT>(programIcon),
                               ::SendMessageA(d, WM_GETICON, ICON_BIG, 0));
                     EXPECT_EQ(reinterpret_cast<LRESULT>(programIcon),
                               ::SendMessageA(d, WM_GETICON, ICON_SMALL, 0));
                     EXPECT_EQ(reinterpret_cast<LRESULT>(programIcon),
                               ::SendMessageA(d, WM_QUERYDRAGICON, 0, 0));
                     EXPECT_TRUE(boxes_.shown().empty());
                 }});
    EXPECT_EQ(kNotEnded, result);
}

// Checks the default-printer box just before the dialog initialises itself.
class PrecheckedSetupDlg : public CSetupDlg {
public:
    BOOL OnInitDialog() override {
        ::CheckDlgButton(hwnd_, IDC_MAKE_DEFAULT, BST_CHECKED);
        ::CheckDlgButton(hwnd_, IDC_PORT_LPT, BST_CHECKED);
        return CSetupDlg::OnInitDialog();
    }
};

TEST_F(SetupDialogTest, InitialisationClearsTheDefaultPrinterBoxWithTheRadioRange) {
    PrecheckedSetupDlg dialog;
    RunModal(dialog, {[&](HWND d) {
                 EXPECT_FALSE(IsChecked(d, IDC_MAKE_DEFAULT));
                 // "LPT" lies outside the cleared range and keeps what it had.
                 EXPECT_TRUE(IsChecked(d, IDC_PORT_LPT));
                 EXPECT_TRUE(IsChecked(d, IDC_PORT_USB));
             }});
}

// --- The printer count ------------------------------------------------------------

TEST_F(SetupDialogTest, PrinterCountDecidesWhetherTheDefaultBoxCanBeChosen) {
    ASSERT_TRUE(ListedPrinters().empty()) << "the prefix must start without printers";
    struct Case {
        std::vector<std::string> printers;
        int expectedCount;
        bool expectEnabled;
    } cases[] = {
        {{}, 0, false},
        {{"Counter Test A", "Counter Test B"}, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedCount);
        ResetProcessWide();
        ScopedPrinters printers(c.printers);
        ASSERT_TRUE(printers.ok());
        ASSERT_EQ(c.printers.size(), ListedPrinters().size());
        CSetupDlg dialog;
        RunModal(dialog, {[&](HWND d) {
                     EXPECT_EQ(c.expectEnabled,
                               ::IsWindowEnabled(::GetDlgItem(d, IDC_MAKE_DEFAULT)) != 0);
                     EXPECT_FALSE(IsChecked(d, IDC_MAKE_DEFAULT));
                 }});
        EXPECT_EQ(c.expectedCount, Process().setup.installedPrinterCount);
    }
}

TEST_F(SetupDialogTest, FailedEnumerationLeavesCountZeroAndTheBoxEnabled) {
    struct Case {
        const char* name;
        DWORD neededSize;
        bool secondCallFails;
    } cases[] = {
        {"second call fails", 400, true},
        {"no buffer can be had", 0xFFFFFFFF, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetProcessWide();
        int calls = 0;
        System().enumPrinters = [&](DWORD, LPSTR, DWORD, LPBYTE buffer, DWORD, LPDWORD needed,
                                    LPDWORD returned) {
            ++calls;
            *needed = c.neededSize;
            *returned = 0;
            ::SetLastError(buffer ? ERROR_ACCESS_DENIED : ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        };
        CSetupDlg dialog;
        RunModal(dialog, {[&](HWND d) {
                     EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(d, IDC_MAKE_DEFAULT)));
                     EXPECT_EQ(std::vector<int>{IDC_PORT_USB}, CheckedRadios(d));
                 }});
        EXPECT_EQ(0, Process().setup.installedPrinterCount);
        EXPECT_EQ(c.secondCallFails ? 2 : 1, calls);
        EXPECT_TRUE(boxes_.shown().empty());
    }
}

// --- Elevation during initialisation -----------------------------------------------

TEST_F(SetupDialogTest, RelaunchedElevatedCopyMakesTheDialogAskWhetherToExit) {
    System().checkTokenMembership = [](HANDLE, PSID, PBOOL isMember) {
        *isMember = FALSE;
        return TRUE;
    };
    System().shellExecuteEx = [](SHELLEXECUTEINFOA*) { return TRUE; };

    // No: this copy stays, fully initialised.
    boxes_.Answer(IDNO);
    CSetupDlg kept;
    INT_PTR result = RunModal(kept, {[&](HWND d) {
                                  EXPECT_EQ("Quelor Thermal Receipt Printer",
                                            WindowText(::GetDlgItem(d, IDC_PRINTER_NAME)));
                                  EXPECT_EQ(std::vector<int>{IDC_PORT_USB}, CheckedRadios(d));
                              }});
    EXPECT_EQ(kNotEnded, result);
    ASSERT_EQ(1u, boxes_.shown().size());
    EXPECT_EQ(kExitSetupQuestion, boxes_.shown()[0].text);

    // Yes: the dialog ends as cancelled.
    boxes_.Answer(IDYES);
    CSetupDlg left;
    EXPECT_EQ(IDCANCEL, RunModal(left, {}));
    EXPECT_EQ(2u, boxes_.shown().size());
}

// --- Radio buttons -------------------------------------------------------------------

TEST_F(SetupDialogTest, ClickSequencesLeaveExactlyTheLastClickedRadioChecked) {
    const std::vector<std::vector<int>> sequences = {
        {IDC_PORT_LPT, IDC_PORT_UTP},
        {IDC_PORT_SERIAL},
        {IDC_PORT_TCPIP, IDC_PORT_USB},
        {IDC_PORT_UTP, IDC_PORT_UTP},
        {IDC_PORT_SERIAL, IDC_PORT_LPT, IDC_PORT_TCPIP, IDC_PORT_UTP, IDC_PORT_USB, IDC_PORT_LPT},
        // The default-printer box is no radio button: it leaves the choice alone.
        {IDC_PORT_TCPIP, IDC_MAKE_DEFAULT},
    };
    for (const auto& sequence : sequences) {
        CSetupDlg dialog;
        RunModal(dialog, {[&](HWND d) {
                     int lastRadio = IDC_PORT_USB;
                     for (int id : sequence) {
                         Click(d, id);
                         if (id != IDC_MAKE_DEFAULT) lastRadio = id;
                     }
                     EXPECT_EQ(std::vector<int>{lastRadio}, CheckedRadios(d));
                 }});
    }
}

// --- Leaving ----------------------------------------------------------------------------

// A dialog on the same template without the setup dialog's key filter.
class UnfilteredDialog : public CDialog {
public:
    UnfilteredDialog() : CDialog(IDD_SETUP_DIALOG) {}
};

TEST_F(SetupDialogTest, EscapeChangesNothing) {
    CSetupDlg dialog;
    INT_PTR result = RunModal(
        dialog, {
                    [](HWND d) {
                        ::SetDlgItemTextA(d, IDC_PRINTER_NAME, "Counter 1");
                        Click(d, IDC_PORT_LPT);
                        PostEscape(d);
                    },
                    [&](HWND d) {
                        EXPECT_TRUE(::IsWindowVisible(d));
                        EXPECT_EQ("Counter 1", WindowText(::GetDlgItem(d, IDC_PRINTER_NAME)));
                        EXPECT_EQ(std::vector<int>{IDC_PORT_LPT}, CheckedRadios(d));
                    },
                });
    EXPECT_EQ(kNotEnded, result);
    EXPECT_TRUE(boxes_.shown().empty());

    // The same key reaches a dialog without the filter and closes it: the posted key
    // really goes through the dialog's loop.
    UnfilteredDialog plain;
    EXPECT_EQ(IDCANCEL, RunModal(plain, {PostEscape, [](HWND) {}}));
}

class SetupDialogLeaveTest : public SetupDialogTest,
                             public testing::WithParamInterface<LeaveCase> {};

TEST_P(SetupDialogLeaveTest, AsksBeforeLeavingAndNoKeepsEveryEntry) {
    boxes_.Answer(IDNO);
    boxes_.Answer(IDYES);
    CSetupDlg dialog;
    ResetProcessWide();
    ScopedPrinters printers({"Leave Test Printer"});
    INT_PTR result = RunModal(
        dialog, {
                    [](HWND d) {
                        ::SetDlgItemTextA(d, IDC_PRINTER_NAME, "Kitchen");
                        Click(d, IDC_PORT_UTP);
                        Click(d, IDC_MAKE_DEFAULT);
                        GetParam().leave(d);
                    },
                    [&](HWND d) {
                        ASSERT_EQ(1u, boxes_.shown().size());
                        EXPECT_TRUE(::IsWindowVisible(d));
                        EXPECT_EQ("Kitchen", WindowText(::GetDlgItem(d, IDC_PRINTER_NAME)));
                        EXPECT_EQ(std::vector<int>{IDC_PORT_UTP}, CheckedRadios(d));
                        EXPECT_TRUE(IsChecked(d, IDC_MAKE_DEFAULT));
                        GetParam().leave(d);
                    },
                    [](HWND) {},
                });
    EXPECT_EQ(IDCANCEL, result);
    ASSERT_EQ(2u, boxes_.shown().size());
    for (const auto& box : boxes_.shown()) {
        EXPECT_EQ(kExitSetupQuestion, box.text);
        EXPECT_EQ("ZNT Series Printer Driver - Setup", box.caption);
        EXPECT_EQ(UINT(MB_YESNO | MB_ICONQUESTION), box.type);
        EXPECT_NE(nullptr, box.owner);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, SetupDialogLeaveTest,
    testing::Values(LeaveCase{"CancelButton", [](HWND d) { Click(d, IDCANCEL); }},
                    LeaveCase{"CloseBox",
                              [](HWND d) { ::PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    [](const testing::TestParamInfo<LeaveCase>& p) { return p.param.name; });

// --- Minimised ---------------------------------------------------------------------------

// Watches the messages the dialog sends itself while painting.
class SentMessageLog {
public:
    SentMessageLog() {
        messages_.clear();
        hook_ = ::SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, ::GetCurrentThreadId());
    }
    ~SentMessageLog() { ::UnhookWindowsHookEx(hook_); }
    static bool Saw(UINT message) {
        for (UINT m : messages_) {
            if (m == message) return true;
        }
        return false;
    }
    static void Clear() { messages_.clear(); }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HC_ACTION) messages_.push_back(reinterpret_cast<CWPSTRUCT*>(lParam)->message);
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline std::vector<UINT> messages_;
    HHOOK hook_;
};

TEST_F(SetupDialogTest, MinimisedDialogPaintsTheProgramIconCentred) {
    CSetupDlg dialog;
    SentMessageLog log;
    RunModal(dialog,
             {
                 [&](HWND d) {
                     ::RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                     EXPECT_FALSE(SentMessageLog::Saw(WM_ICONERASEBKGND));

                     // Where the icon lands: drawn into a white picture of the client area.
                     RECT client;
                     ::GetClientRect(d, &client);
                     HDC screen = ::GetDC(nullptr);
                     HDC memory = ::CreateCompatibleDC(screen);
                     HBITMAP canvas = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
                     ::ReleaseDC(nullptr, screen);
                     HGDIOBJ old = ::SelectObject(memory, canvas);
                     ::PatBlt(memory, 0, 0, client.right, client.bottom, WHITENESS);
                     dialog.PaintMinimisedIcon(memory);
                     int left = client.right, top = client.bottom, right = -1, bottom = -1;
                     for (int y = 0; y < client.bottom; ++y) {
                         for (int x = 0; x < client.right; ++x) {
                             if ((::GetPixel(memory, x, y) & 0xFFFFFF) != 0xFFFFFF) {
                                 left = std::min(left, x);
                                 top = std::min(top, y);
                                 right = std::max(right, x);
                                 bottom = std::max(bottom, y);
                             }
                         }
                     }
                     ::SelectObject(memory, old);
                     ::DeleteObject(canvas);
                     ::DeleteDC(memory);
                     int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
                     int expectedLeft = (client.right - cx + 1) / 2,
                         expectedTop = (client.bottom - cy + 1) / 2;
                     ASSERT_GE(right, 0) << "nothing was drawn";
                     EXPECT_GE(left, expectedLeft);
                     EXPECT_GE(top, expectedTop);
                     EXPECT_LT(right, expectedLeft + cx);
                     EXPECT_LT(bottom, expectedTop + cy);

                     SentMessageLog::Clear();
                     ::ShowWindow(d, SW_MINIMIZE);
                 },
                 [&](HWND d) {
                     ASSERT_TRUE(::IsIconic(d));
                     // Wine gives a minimised window no client area and so never asks it to paint;
                     // Windows does. The paint request is made here as Windows would make it.
                     ::SendMessageA(d, WM_PAINT, 0, 0);
                     EXPECT_TRUE(SentMessageLog::Saw(WM_ICONERASEBKGND));
                 },
             });
}

}  // namespace
