// The dialog framework on its own, over a tiny template: modal and modeless runs, data
// exchange, message map dispatch, teardown, exceptions in handlers, the wait cursor and the
// spooler's two-call fetch.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Font.h"
#include "framework/MessageLoop.h"
#include "framework/MessageMap.h"
#include "framework/WinApp.h"
#include "framework_test_resource.h"
#include "platform/SpoolerFetch.h"

using namespace testing_support;

namespace {

class TinyDialog : public CDialog {
public:
    explicit TinyDialog(UINT templateId = IDD_TINY) : CDialog(templateId) {}

    std::string name;
    CEdit edit;
    CListBox list;
    std::vector<std::string> events;
    bool throwInInit = false;
    bool throwOnPress = false;

    BOOL OnInitDialog() override {
        events.push_back("init");
        if (throwInInit) throw std::runtime_error("half initialised");
        return CDialog::OnInitDialog();
    }

    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        using Map = MessageMap<TinyDialog>;
        static const Map map{
            Map::Command(BN_CLICKED, IDC_TINY_BUTTON, &TinyDialog::OnPress),
            Map::Command(LBN_SELCHANGE, IDC_TINY_LIST, &TinyDialog::OnListChange),
            Map::Notify(NM_CLICK, IDC_TINY_LIST, &TinyDialog::OnNotified),
            Map::Message(WM_APP, &TinyDialog::OnApp),
            Map::Message(WM_APP + 1, &TinyDialog::OnAppDeclined),
        };
        return map.Dispatch(this, message, wParam, lParam, result) ||
               CDialog::OnWndMsg(message, wParam, lParam, result);
    }

protected:
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        if (GetDlgItem(IDC_TINY_EDIT)) {
            BindControl(dx, IDC_TINY_EDIT, edit);
            BindControl(dx, IDC_TINY_LIST, list);
            ExchangeText(dx, IDC_TINY_EDIT, name);
        }
    }

private:
    void OnPress(UINT id) {
        events.push_back("press " + std::to_string(id));
        if (throwOnPress) throw std::runtime_error("handler failed");
    }
    void OnListChange(UINT) { events.push_back("list changed"); }
    void OnNotified(NMHDR* header, LRESULT* result) {
        events.push_back("notified " + std::to_string(header->idFrom));
        *result = 7;
    }
    bool OnApp(WPARAM wParam, LPARAM, LRESULT& result) {
        events.push_back("app " + std::to_string(wParam));
        result = 42;
        return true;
    }
    // A message handler may look and decline: the base then handles the message.
    bool OnAppDeclined(WPARAM, LPARAM, LRESULT&) {
        events.push_back("declined");
        return false;
    }
};

void Click(HWND dialog, int id) {
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

class FrameworkTest : public testing::Test {
protected:
    CWinApp app_{"FrameworkTest"};
};

// --- Modal and modeless -------------------------------------------------------------

TEST_F(FrameworkTest, ModalDialogRunsUntilEndDialogAndReturnsItsValue) {
    TinyDialog dialog;
    HWND seen = nullptr;
    INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                           seen = d;
                                           EXPECT_TRUE(::IsWindowVisible(d));
                                           EXPECT_EQ(&dialog, CWnd::FromHandlePermanent(d));
                                       },
                                       [&](HWND) { dialog.EndDialog(17); }});
    EXPECT_EQ(17, result);
    EXPECT_EQ(std::vector<std::string>{"init"}, dialog.events);
    EXPECT_FALSE(::IsWindow(seen));
    EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
}

TEST_F(FrameworkTest, OkReadsTheControlsAndCancelDoesNot) {
    const struct {
        int button;
        INT_PTR result;
        const char* name;
    } cases[] = {{IDOK, IDOK, "typed"}, {IDCANCEL, IDCANCEL, "given"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        TinyDialog dialog;
        dialog.name = "given";
        INT_PTR result =
            RunModal(dialog, {[&](HWND d) {
                                  EXPECT_EQ("given", WindowText(::GetDlgItem(d, IDC_TINY_EDIT)));
                                  ::SetWindowTextA(::GetDlgItem(d, IDC_TINY_EDIT), "typed");
                              },
                              [&](HWND d) { Click(d, c.button); }});
        EXPECT_EQ(c.result, result);
        EXPECT_EQ(c.name, dialog.name);
    }
}

TEST_F(FrameworkTest, ModelessDialogLivesUntilDestroyedAndEndDialogOnlyHidesIt) {
    TinyDialog notice(IDD_TINY_VISIBLE);
    ASSERT_TRUE(notice.Create(IDD_TINY_VISIBLE));
    HWND hwnd = notice.GetSafeHwnd();
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_EQ(std::vector<std::string>{"init"}, notice.events);

    // Its messages go through the framework's loop like a modal dialog's.
    ::PostMessageA(hwnd, WM_APP, 3, 0);
    EXPECT_TRUE(PumpUntil([&] { return notice.events.size() == 2; }));
    EXPECT_EQ("app 3", notice.events.back());

    notice.EndDialog(IDOK);
    EXPECT_TRUE(::IsWindow(hwnd));
    EXPECT_FALSE(::IsWindowVisible(hwnd));
    EXPECT_TRUE(notice.DestroyWindow());
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(nullptr, notice.GetSafeHwnd());
}

// --- Data exchange ------------------------------------------------------------------

TEST_F(FrameworkTest, DataExchangeGoesBothWaysAndBindsEachControlOnce) {
    TinyDialog dialog;
    RunModal(dialog, {[&](HWND d) {
                 EXPECT_EQ(::GetDlgItem(d, IDC_TINY_EDIT), dialog.edit.GetSafeHwnd());
                 dialog.name = "Counter 1";
                 dialog.UpdateData(FALSE);
                 EXPECT_EQ("Counter 1", WindowText(::GetDlgItem(d, IDC_TINY_EDIT)));

                 ::SetWindowTextA(::GetDlgItem(d, IDC_TINY_EDIT), "Kitchen  ");
                 dialog.UpdateData(TRUE);
                 // The whole text, blanks included.
                 EXPECT_EQ("Kitchen  ", dialog.name);
                 HWND bound = dialog.edit.GetSafeHwnd();
                 dialog.UpdateData(TRUE);
                 EXPECT_EQ(bound, dialog.edit.GetSafeHwnd());
             }});
}

// --- Message maps -------------------------------------------------------------------

TEST_F(FrameworkTest, MessageMapRoutesCommandsNotificationsAndMessages) {
    TinyDialog dialog;
    LRESULT appResult = 0;
    LRESULT declinedResult = 0;
    LRESULT notifyResult = 0;
    RunModal(dialog, {[&](HWND d) {
                 Click(d, IDC_TINY_BUTTON);
                 ::SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_TINY_LIST, LBN_SELCHANGE),
                                reinterpret_cast<LPARAM>(::GetDlgItem(d, IDC_TINY_LIST)));
                 // Another notification code of a mapped control is not its handler's.
                 ::SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_TINY_BUTTON, BN_DOUBLECLICKED),
                                reinterpret_cast<LPARAM>(::GetDlgItem(d, IDC_TINY_BUTTON)));
                 NMHDR header{::GetDlgItem(d, IDC_TINY_LIST), IDC_TINY_LIST,
                              static_cast<UINT>(NM_CLICK)};
                 notifyResult =
                     ::SendMessageA(d, WM_NOTIFY, IDC_TINY_LIST, reinterpret_cast<LPARAM>(&header));
                 appResult = ::SendMessageA(d, WM_APP, 5, 0);
                 declinedResult = ::SendMessageA(d, WM_APP + 1, 0, 0);
             }});
    EXPECT_EQ((std::vector<std::string>{"init", "press 9101", "list changed", "notified 9102",
                                        "app 5", "declined"}),
              dialog.events);
    EXPECT_EQ(7, notifyResult);
    EXPECT_EQ(42, appResult);
    EXPECT_EQ(0, declinedResult);
}

// --- Teardown and exceptions --------------------------------------------------------

// Counts the messages that still reach the object once its own destructor has run.
class TrackedDialog : public TinyDialog {
public:
    explicit TrackedDialog(int& lateMessages)
        : TinyDialog(IDD_TINY_VISIBLE), lateMessages_(lateMessages) {}
    ~TrackedDialog() override { destroyed_ = true; }

    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (destroyed_) ++lateMessages_;
        return TinyDialog::OnWndMsg(message, wParam, lParam, result);
    }

private:
    int& lateMessages_;
    bool destroyed_ = false;
};

TEST_F(FrameworkTest, DestroyingTheObjectTakesTheWindowWithoutReachingTheObject) {
    int lateMessages = 0;
    HWND hwnd = nullptr;
    HWND text = nullptr;
    {
        TrackedDialog dialog(lateMessages);
        ASSERT_TRUE(dialog.Create(IDD_TINY_VISIBLE));
        hwnd = dialog.GetSafeHwnd();
        text = ::GetDlgItem(hwnd, IDC_TINY_TEXT);
        HFONT font = dialog.AdoptFont(CreatePointFont(100, "Verdana"));
        ASSERT_NE(nullptr, font);
        ::SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        ASSERT_TRUE(::IsWindow(hwnd));
    }
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(::IsWindow(text));
    EXPECT_EQ(0, lateMessages);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hwnd));
}

TEST_F(FrameworkTest, AnExceptionEndsTheModalDialogWithMinusOne) {
    const struct {
        const char* name;
        bool inInit;
    } cases[] = {{"during initialisation", true}, {"in a command handler", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TinyDialog dialog;
        dialog.throwInInit = c.inInit;
        dialog.throwOnPress = !c.inInit;
        int stepsRun = 0;
        INT_PTR result = RunModal(dialog, {[&](HWND d) {
                                               ++stepsRun;
                                               Click(d, IDC_TINY_BUTTON);
                                           },
                                           [&](HWND) { ++stepsRun; }});
        EXPECT_EQ(-1, result);
        EXPECT_EQ(c.inInit ? 0 : 1, stepsRun);
        EXPECT_EQ(nullptr, dialog.GetSafeHwnd());
    }
}

// --- Wait cursor --------------------------------------------------------------------

TEST_F(FrameworkTest, WaitCursorStaysUntilEveryBeginHasItsEnd) {
    EXPECT_FALSE(app_.IsWaitCursorOn());
    {
        CWaitCursor outer;
        EXPECT_TRUE(app_.IsWaitCursorOn());
        {
            CWaitCursor inner;
            EXPECT_TRUE(app_.IsWaitCursorOn());
        }
        EXPECT_TRUE(app_.IsWaitCursorOn());
        EXPECT_EQ(::LoadCursorA(nullptr, IDC_WAIT), ::GetCursor());
    }
    EXPECT_FALSE(app_.IsWaitCursorOn());
    EXPECT_EQ(::LoadCursorA(nullptr, IDC_ARROW), ::GetCursor());

    // An End too many does not leave a debt that swallows the next Begin.
    app_.EndWaitCursor();
    app_.BeginWaitCursor();
    EXPECT_TRUE(app_.IsWaitCursorOn());
    app_.EndWaitCursor();
    EXPECT_FALSE(app_.IsWaitCursorOn());
}

// --- The spooler's two-call fetch ---------------------------------------------------

struct FetchCase {
    const char* name;
    std::vector<BOOL> answers;  // one per call
    DWORD needed;
    DWORD error;  // set on every failing call
    SpoolerFetchOptions options;
    SpoolerFetchResult expected;
    std::vector<DWORD> sizesAsked;
};

SpoolerFetchOptions NoProbe() {
    SpoolerFetchOptions options;
    options.probeSize = 0;
    options.probeMustAskForMore = false;
    options.traceAllocation = false;
    return options;
}

TEST(SpoolerFetchTest, AsksForTheSizeThenFetches) {
    const FetchCase cases[] = {
        {"fetched",
         {FALSE, TRUE},
         64,
         ERROR_INSUFFICIENT_BUFFER,
         {},
         SpoolerFetchResult::Fetched,
         {10, 64}},
        {"answer fits the probe", {TRUE}, 0, 0, {}, SpoolerFetchResult::FitInProbe, {10}},
        {"probe refused", {FALSE}, 0, ERROR_ACCESS_DENIED, {}, SpoolerFetchResult::Failed, {10}},
        {"second call fails",
         {FALSE, FALSE},
         64,
         ERROR_INSUFFICIENT_BUFFER,
         {},
         SpoolerFetchResult::Failed,
         {10, 64}},
        {"no buffer of that size",
         {FALSE},
         0xFFFFFFFF,
         ERROR_INSUFFICIENT_BUFFER,
         {},
         SpoolerFetchResult::Failed,
         {10}},
        {"without probe, the first answer is not looked at",
         {FALSE, TRUE},
         0,
         ERROR_ACCESS_DENIED,
         NoProbe(),
         SpoolerFetchResult::Fetched,
         {0, 0}},
    };
    for (const FetchCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DWORD> sizes;
        std::vector<bool> hadBuffer;
        size_t call = 0;
        std::vector<BYTE> data;
        SpoolerFetchResult result = FetchFromSpooler(
            [&](BYTE* buffer, DWORD size, DWORD* needed) {
                sizes.push_back(size);
                hadBuffer.push_back(buffer != nullptr);
                *needed = c.needed;
                BOOL answer = call < c.answers.size() ? c.answers[call] : FALSE;
                ++call;
                if (answer && buffer && size) buffer[0] = 0x5A;
                if (!answer) ::SetLastError(c.error);
                return answer;
            },
            data, c.options);
        EXPECT_EQ(c.expected, result);
        EXPECT_EQ(c.sizesAsked, sizes);
        if (result == SpoolerFetchResult::Failed) {
            EXPECT_TRUE(data.empty());
        }
        if (result == SpoolerFetchResult::Fetched) {
            EXPECT_EQ(std::max<size_t>(c.needed, c.options.probeMustAskForMore ? 0 : 1),
                      data.size());
        }
        if (c.options.probeSize == 0) {
            EXPECT_FALSE(hadBuffer.front());
        }
        // Even a size of 0 gets a buffer the spooler can write to.
        if (sizes.size() == 2) {
            EXPECT_TRUE(hadBuffer.back());
        }
    }
}

}  // namespace
