// The busy notice shown around long work: its template, its text, and that the user
// cannot close it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "DialogTemplate.h"
#include "TestSupport.h"
#include "state/ProcessWide.h"
#include "framework/MessageLoop.h"
#include "install/BusyNotice.h"
#include "resource.h"

using namespace testing_support;

namespace {

constexpr char kCaption[] = "Quelor ZNT Series Printer Driver - Setup";

std::string NoticeText(const CBusyNotice& notice) {
    return WindowText(::GetDlgItem(notice.GetSafeHwnd(), IDC_NOTICE_TEXT));
}

// Lets the notice's thread handle what was posted to it, as the caller's thread does
// while the notice is up.
void HandlePostedMessages() {
    for (int i = 0; i < 5; ++i) {
        framework::PumpWaitingMessages();
        ::Sleep(10);
    }
}

class BusyNoticeTest : public testing::Test {
protected:
    void SetUp() override { ResetProcessWide(); }
};

TEST(BusyNoticeTemplateTest, MatchesTheIntendedLayout) {
    DialogTemplate t = LoadDialogTemplate(IDD_BUSY_NOTICE);
    EXPECT_EQ(DWORD(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_VISIBLE | WS_CAPTION), t.style);
    EXPECT_EQ(0u, t.style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(DWORD(WS_EX_APPWINDOW), t.exStyle);
    EXPECT_EQ(225, t.cx);
    EXPECT_EQ(81, t.cy);
    EXPECT_EQ(kCaption, t.title);
    EXPECT_EQ(8, t.pointSize);
    EXPECT_EQ("MS Shell Dlg", t.typeface);
    ASSERT_EQ(2u, t.controls.size());

    const TemplateControl& text = t.controls[0];
    EXPECT_EQ(DWORD(IDC_NOTICE_TEXT), text.id);
    EXPECT_EQ("Static", text.className);
    EXPECT_EQ("", text.text);
    EXPECT_EQ(DWORD(SS_LEFT), text.style & SS_TYPEMASK);
    EXPECT_TRUE(text.style & WS_GROUP);
    EXPECT_EQ((std::vector<short>{81, 12, 140, 61}),
              (std::vector<short>{text.x, text.y, text.cx, text.cy}));

    const TemplateControl& picture = t.controls[1];
    EXPECT_EQ("Static", picture.className);
    EXPECT_EQ("#132", picture.text);
    EXPECT_EQ(DWORD(SS_BITMAP), picture.style & SS_TYPEMASK);
    EXPECT_EQ((std::vector<short>{2, 0, 75, 80}),
              (std::vector<short>{picture.x, picture.y, picture.cx, picture.cy}));

    HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                       MAKEINTRESOURCEA(IDB_SETUP_PICTURE),
                                                       IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(nullptr, bitmap);
    DIBSECTION dib{};
    ::GetObjectA(bitmap, sizeof dib, &dib);
    EXPECT_EQ(112, dib.dsBm.bmWidth);
    EXPECT_EQ(128, dib.dsBm.bmHeight);
    EXPECT_EQ(24, dib.dsBm.bmBitsPixel);
    ::DeleteObject(bitmap);
}

TEST_F(BusyNoticeTest, ShowsAtOnceCentredInVerdanaWithTheText) {
    CBusyNotice notice("Installing.......\n\nPlease wait");
    ASSERT_TRUE(notice.Create(IDD_BUSY_NOTICE));
    HWND hwnd = notice.GetSafeHwnd();
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_EQ(kCaption, WindowText(hwnd));
    EXPECT_EQ("Installing.......\n\nPlease wait", NoticeText(notice));

    RECT window, work;
    ::GetWindowRect(hwnd, &window);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((work.left + work.right) / 2, (window.left + window.right) / 2, 2);
    EXPECT_NEAR((work.top + work.bottom) / 2, (window.top + window.bottom) / 2, 2);

    HFONT font = reinterpret_cast<HFONT>(notice.messageControl.SendMessage(WM_GETFONT));
    ASSERT_NE(nullptr, font);
    LOGFONTA logFont{};
    ::GetObjectA(font, sizeof logFont, &logFont);
    EXPECT_STREQ("Verdana", logFont.lfFaceName);
    HDC dc = ::GetDC(hwnd);
    EXPECT_EQ(-::MulDiv(10, ::GetDeviceCaps(dc, LOGPIXELSY), 72), logFont.lfHeight);
    ::ReleaseDC(hwnd, dc);
}

TEST_F(BusyNoticeTest, TheLastConstructedTextIsTheOneTheNextNoticeShows) {
    CBusyNotice first("Rescanning on-line Printers.\n\nPlease wait...");
    CBusyNotice second("Rebooting Printer.\n\nPlease wait...");
    EXPECT_EQ("Rebooting Printer.\n\nPlease wait...", Process().noticeText);
    ASSERT_TRUE(first.Create(IDD_BUSY_NOTICE));
    EXPECT_EQ("Rebooting Printer.\n\nPlease wait...", NoticeText(first));
}

TEST_F(BusyNoticeTest, ANoticeNeverCreatedHasNoWindowButSetsTheText) {
    {
        CBusyNotice never("Installing Virtual COM driver.\n\nPlease wait...");
        EXPECT_EQ(nullptr, never.GetSafeHwnd());
        EXPECT_EQ(nullptr, ::FindWindowA(nullptr, kCaption));
        EXPECT_EQ("Installing Virtual COM driver.\n\nPlease wait...", Process().noticeText);
    }
    EXPECT_EQ(nullptr, ::FindWindowA(nullptr, kCaption));
}

TEST_F(BusyNoticeTest, AnEmptyMessageShowsOnlyThePicture) {
    CBusyNotice notice("");
    ASSERT_TRUE(notice.Create(IDD_BUSY_NOTICE));
    EXPECT_EQ("", NoticeText(notice));
}

TEST_F(BusyNoticeTest, TheMessageCanChangeWhileShown) {
    CBusyNotice notice("Changing Printer parameters.\n\nPlease wait...");
    ASSERT_TRUE(notice.Create(IDD_BUSY_NOTICE));
    notice.messageControl.SetWindowText("Changing Printer parameters.\n\n");
    EXPECT_EQ("Changing Printer parameters.\n\n", NoticeText(notice));
    notice.messageControl.SetWindowText("Changing Printer parameters.\n\nPlease wait...");
    EXPECT_EQ("Changing Printer parameters.\n\nPlease wait...", NoticeText(notice));
}

TEST_F(BusyNoticeTest, EnterAndEscapeLeaveItOpen) {
    for (WPARAM key : {WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) {
        SCOPED_TRACE(key);
        CBusyNotice notice("Installing.......\n\nPlease wait");
        ASSERT_TRUE(notice.Create(IDD_BUSY_NOTICE));
        HWND focus = ::GetFocus();
        ::PostMessageA(focus ? focus : notice.GetSafeHwnd(), WM_KEYDOWN, key, 0x00010001);
        HandlePostedMessages();
        EXPECT_TRUE(::IsWindow(notice.GetSafeHwnd()));
        EXPECT_TRUE(::IsWindowVisible(notice.GetSafeHwnd()));
    }

    // The same Escape closes a plain dialog on that template: it did reach the dialog.
    CDialog plain(IDD_BUSY_NOTICE);
    ASSERT_TRUE(plain.Create(IDD_BUSY_NOTICE));
    HWND focus = ::GetFocus();
    ::PostMessageA(focus ? focus : plain.GetSafeHwnd(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    HandlePostedMessages();
    EXPECT_FALSE(::IsWindowVisible(plain.GetSafeHwnd()));
}

TEST_F(BusyNoticeTest, DestroyingTheObjectRemovesItsWindow) {
    HWND hwnd = nullptr;
    {
        CBusyNotice notice("Installing.......\n\nPlease wait");
        ASSERT_TRUE(notice.Create(IDD_BUSY_NOTICE));
        hwnd = notice.GetSafeHwnd();
        notice.ShowWindow(SW_HIDE);
        EXPECT_FALSE(::IsWindowVisible(hwnd));
        notice.ShowWindow(SW_SHOW);
        EXPECT_TRUE(::IsWindowVisible(hwnd));
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

}  // namespace
