// The three network dialogs' templates and the lamp pictures, against the intended layout.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "DialogTemplate.h"
#include "resource.h"

using testing_support::DialogTemplate;
using testing_support::LoadDialogTemplate;

namespace {

constexpr DWORD kNone = 0xFFFFFFFF;
constexpr DWORD kHidden = 1;  // not visible and disabled

struct Control {
    DWORD id;
    const char* className;
    const char* text;
    short x, y, cx, cy;
    DWORD flags = 0;
};

struct Layout {
    UINT id;
    const char* caption;
    short cx, cy;
    std::vector<Control> controls;
};

const std::vector<Layout> kLayouts = {
    {136,
     "Add New TCP/IP Port",
     280,
     95,
     {{kNone, "Static", "IP Address :", 9, 14, 48, 8},
      {1025, "ComboBox", "", 60, 13, 100, 91},
      {kNone, "Static", "Port :", 9, 42, 19, 8},
      {1026, "ComboBox", "", 60, 40, 100, 76},
      {1036, "Static", "", 68, 55, 110, 8},
      {1, "Button", "OK", 60, 68, 47, 14},
      {2, "Button", "Cancel", 113, 68, 47, 14},
      {1034, "Button", "Printer New IP Settings", 171, 12, 97, 14},
      {1037, "Button", "Printer Status", 171, 40, 97, 14},
      {1038, "Button", "Printer Self Test Page", 171, 68, 97, 14},
      {1039, "Button", "Reboot Printer", 171, 48, 97, 14, kHidden}}},
    {107,
     "Printer New IP Settings",
     201,
     120,
     {{kNone, "Button", "Fix IP Address", 11, 10, 176, 77},
      {kNone, "Static", "IP Address:", 38, 28, 38, 8},
      {1047, "Edit", "", 84, 26, 96, 14},
      {kNone, "Static", "Subnet Mask:", 32, 47, 44, 8},
      {1048, "Edit", "", 84, 45, 96, 14},
      {kNone, "Static", "Gateway Address:", 16, 67, 60, 8},
      {1049, "Edit", "", 84, 64, 96, 14},
      {1, "Button", "Set Parameters", 11, 96, 59, 14},
      {2, "Button", "Return", 137, 96, 50, 14},
      {kNone, "Static", "DHCP Timeout:", 87, 100, 16, 8, kHidden},
      {1040, "Edit", "", 89, 95, 21, 14, kHidden},
      {kNone, "Static", "s  [1.255]", 87, 97, 17, 8, kHidden},
      {1046, "Button", "Restore Default Configuration", 83, 100, 29, 10, kHidden},
      {1052, "Button", "Dynamic IP Address (DHCP)", 83, 97, 23, 10, kHidden},
      {1053, "Button", "Fix IP Address", 83, 98, 21, 10, kHidden}}},
    {110,
     "Check Printer Status",
     282,
     234,
     {{1064, "Static", "Status List of the Printer", 50, 10, 169, 19},
      {1055, "Static", "#143", 24, 41, 20, 19},
      {kNone, "Static", "Printer is off-line", 55, 46, 54, 8},
      {1056, "Static", "#143", 24, 71, 20, 19},
      {kNone, "Static", "Cover is open", 55, 77, 45, 8},
      {1057, "Static", "#143", 24, 101, 20, 19},
      {kNone, "Static", "Cutter is error", 55, 105, 46, 8},
      {1058, "Static", "#143", 24, 131, 20, 19},
      {kNone, "Static", "Paper is near end", 55, 136, 57, 8},
      {1059, "Static", "#143", 24, 161, 20, 19},
      {kNone, "Static", "Autimatically restorable error", 55, 166, 94, 8},
      {1060, "Static", "#143", 169, 43, 20, 19},
      {kNone, "Static", "Paper is end", 201, 46, 40, 8},
      {1061, "Static", "#143", 169, 72, 20, 19},
      {kNone, "Static", "CashDrawer is open", 201, 76, 65, 8},
      {1062, "Static", "#143", 169, 101, 20, 19},
      {kNone, "Static", "Running feed button", 201, 106, 67, 8},
      {1063, "Static", "#143", 169, 130, 20, 19},
      {kNone, "Static", "Printer is busy", 201, 136, 46, 8},
      {1036, "Static", "#143", 169, 159, 20, 19},
      {kNone, "Static", "Unstorable error", 201, 166, 54, 8},
      {1065, "Button", "Auto Status Start", 70, 194, 70, 14},
      {2, "Button", "Cancel", 156, 194, 47, 14}}},
};

TEST(NetworkTemplatesTest, MatchTheIntendedLayout) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.caption);
        const DialogTemplate t = LoadDialogTemplate(layout.id);
        EXPECT_EQ(layout.caption, t.title);
        EXPECT_EQ(layout.cx, t.cx);
        EXPECT_EQ(layout.cy, t.cy);
        EXPECT_EQ(8, t.pointSize);
        EXPECT_EQ("MS Shell Dlg", t.typeface);
        EXPECT_EQ(DWORD(DS_MODALFRAME | WS_CAPTION | WS_SYSMENU),
                  t.style & (DS_MODALFRAME | WS_CAPTION | WS_SYSMENU));
        ASSERT_EQ(layout.controls.size(), t.controls.size());
        for (std::size_t i = 0; i < t.controls.size(); ++i) {
            const Control& want = layout.controls[i];
            const auto& got = t.controls[i];
            SCOPED_TRACE(want.text);
            EXPECT_EQ(want.id, got.id);
            EXPECT_EQ(want.className, got.className);
            EXPECT_EQ(want.text, got.text);
            EXPECT_EQ((std::vector<short>{want.x, want.y, want.cx, want.cy}),
                      (std::vector<short>{got.x, got.y, got.cx, got.cy}));
            const bool hidden = !(got.style & WS_VISIBLE) && (got.style & WS_DISABLED);
            EXPECT_EQ(want.flags == kHidden, hidden);
        }
    }
    const DialogTemplate ports = LoadDialogTemplate(136);
    for (int i : {1, 3}) {
        EXPECT_EQ(DWORD(CBS_DROPDOWN), ports.controls[i].style & 3);
        EXPECT_TRUE(ports.controls[i].style & WS_VSCROLL);
    }
    EXPECT_EQ(DWORD(BS_DEFPUSHBUTTON), ports.controls[5].style & 0xF);
    const DialogTemplate status = LoadDialogTemplate(110);
    EXPECT_EQ(DWORD(SS_CENTER | SS_CENTERIMAGE),
              status.controls[0].style & (SS_TYPEMASK | SS_CENTERIMAGE));
    EXPECT_EQ(DWORD(SS_BITMAP), status.controls[1].style & SS_TYPEMASK);
    EXPECT_EQ(DWORD(BS_DEFPUSHBUTTON), status.controls[21].style & 0xF);
}

TEST(NetworkTemplatesTest, LampPicturesAre30By31With24Bits) {
    for (int id : {142, 143, 144}) {
        HBITMAP bitmap =
            static_cast<HBITMAP>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id),
                                              IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(nullptr, bitmap) << id;
        DIBSECTION section{};
        ASSERT_EQ(int(sizeof section), ::GetObjectA(bitmap, sizeof section, &section));
        EXPECT_EQ(30, section.dsBm.bmWidth);
        EXPECT_EQ(31, section.dsBm.bmHeight);
        EXPECT_EQ(24, section.dsBmih.biBitCount);
        ::DeleteObject(bitmap);
    }
}

}  // namespace
