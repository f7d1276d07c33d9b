// The main window as the program builds it, read back through Win32 itself: the class,
// the window, every control of the layout, the system menu and the typing limits.
#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <ostream>
#include <string>
#include <utility>

#include "ui/main_window_layout.h"
#include "win32/window_test_support.h"

// A case of the control table prints as its identifier and text.
void PrintTo(const ControlRow& row, std::ostream* out) {
  *out << row.Id << " \"" << (row.Text != nullptr ? row.Text : "") << '"';
}

namespace {

// The class and style each kind of control must be created with, and the style bits the
// control takes over from its window (an edit field draws its border itself).
struct ExpectedClass {
  ControlKind Kind;
  const char* ClassName;
  DWORD Style;
  DWORD TakenOver;
};

constexpr ExpectedClass kExpectedClasses[] = {
    {ControlKind::Label, "Static", 0x5000000B, 0},
    {ControlKind::Edit, "Edit", 0x50810080, WS_BORDER},
    {ControlKind::PushButton, "Button", 0x50810000, 0},
    {ControlKind::DefaultButton, "Button", 0x50810001, 0},
    {ControlKind::CheckBox, "Button", 0x50010003, 0},
    {ControlKind::ListBox, "ListBox", 0x50B11181, 0},
};

const ExpectedClass& ExpectedFor(ControlKind kind) {
  for (const ExpectedClass& expected : kExpectedClasses) {
    if (expected.Kind == kind) return expected;
  }
  return kExpectedClasses[0];
}

std::string WindowText(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ClassName(HWND window) {
  char name[64] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

class MainWindowTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(SetUpMainWindow(), 0); }
  static void TearDownTestSuite() { DestroyTestWindow(); }
};

TEST_F(MainWindowTest, TheClassIsTheProgramsOwn) {
  HWND window = TestMainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ClassName(window), "TsWndClass");
  EXPECT_EQ(GetClassLongA(window, GCL_STYLE), 0u);
  EXPECT_EQ(GetClassLongA(window, GCL_CBCLSEXTRA), 0u);
  EXPECT_EQ(GetClassLongA(window, GCL_CBWNDEXTRA), 0u);
  // The menu colour's system brush, not the window colour's.
  EXPECT_EQ(GetClassLongPtrA(window, GCLP_HBRBACKGROUND), static_cast<ULONG_PTR>(COLOR_MENU + 1));
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR)),
            LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(GetMenu(window), nullptr);
}

// The icon comes from the program's resources, 32 by 32 pixels in 16 colours.
TEST_F(MainWindowTest, TheClassIconIsTheProgramsIcon) {
  auto icon = reinterpret_cast<HICON>(GetClassLongPtrA(TestMainWindow(), GCLP_HICON));
  ASSERT_NE(icon, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP colour = {};
  ASSERT_NE(GetObjectA(info.hbmColor, sizeof colour, &colour), 0);
  EXPECT_EQ(colour.bmWidth, 32);
  EXPECT_EQ(colour.bmHeight, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  HRSRC resource = FindResourceA(GetModuleHandleA(nullptr), "TSICON", MAKEINTRESOURCEA(14));
  ASSERT_NE(resource, nullptr);  // the icon group
  auto* group = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
  ASSERT_NE(group, nullptr);
  // GRPICONDIR: reserved, type, count; then the entry: width, height, colours, ...
  EXPECT_EQ(group[4], 1);
  EXPECT_EQ(group[6], 32);
  EXPECT_EQ(group[7], 32);
  EXPECT_EQ(group[8], 16);
}

TEST_F(MainWindowTest, TheWindowHasItsTitleStyleAndPlace) {
  HWND window = TestMainWindow();
  EXPECT_EQ(WindowText(window), " Tessik");
  SetMainWindowTitle(" Tessik [Daitch-Mokotoff Soundex]");
  EXPECT_EQ(WindowText(window), " Tessik [Daitch-Mokotoff Soundex]");
  SetMainWindowTitle(" Tessik");
  auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
  // Asked for: a system menu and a minimize button on an overlapped window, which has a
  // caption. Nothing that sizes or maximizes it, and no parent.
  EXPECT_EQ(style & (WS_SYSMENU | WS_MINIMIZEBOX | WS_CAPTION),
            static_cast<DWORD>(WS_SYSMENU | WS_MINIMIZEBOX | WS_CAPTION));
  EXPECT_EQ(
      style & (WS_MAXIMIZEBOX | WS_THICKFRAME | WS_CHILD | WS_POPUP | WS_VSCROLL | WS_HSCROLL), 0u);
  EXPECT_EQ(GetParent(window), nullptr);
  // The edge Windows gives every captioned window is all the extended style it has.
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)) & ~DWORD{WS_EX_WINDOWEDGE}, 0u);
  RECT outer = {};
  ASSERT_TRUE(GetWindowRect(window, &outer));
  EXPECT_EQ(outer.left, 80);
  EXPECT_EQ(outer.top, 25);
  EXPECT_EQ(outer.right - outer.left, 500);
  EXPECT_EQ(outer.bottom - outer.top, 425);
}

TEST_F(MainWindowTest, TheSystemMenuEndsWithTheAboutItemAndTheSwitches) {
  HMENU menu = GetSystemMenu(TestMainWindow(), FALSE);
  ASSERT_NE(menu, nullptr);
  int count = GetMenuItemCount(menu);
  // About, then the methods (one choice of three: the program's own is checked in a
  // test's fresh settings) and the switches.
  const struct {
    int Command;
    const char* Text;
    bool Checked;
  } items[] = {{kSoundexItem, "&Soundex keys and spellings", true},
               {kDaitchMokotoffItem, "&Daitch-Mokotoff Soundex", false},
               {kScoredItem, "S&cored names (learned from name pairs)", false},
               {kReadUnicodeItem, "Accented, Cyrillic and Greek &letters", false},
               {kGivenNamesItem, "Given names with their &equivalents", false},
               {kReadRecordsItem, "&GEDCOM records and documents", false}};
  const int kItems = static_cast<int>(std::size(items));
  ASSERT_GE(count, kItems + 2);
  MENUITEMINFOA separator = {};
  separator.cbSize = sizeof separator;
  separator.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(menu, count - kItems - 2, TRUE, &separator));
  EXPECT_NE(separator.fType & MFT_SEPARATOR, 0u);
  EXPECT_EQ(GetMenuItemID(menu, count - kItems - 1), 1000u);
  char text[64] = "";
  GetMenuStringA(menu, count - kItems - 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&About Tessik");
  for (int i = 0; i < kItems; ++i) {
    const int at = count - kItems + i;
    EXPECT_EQ(GetMenuItemID(menu, at), static_cast<UINT>(items[i].Command));
    GetMenuStringA(menu, at, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, items[i].Text);
    EXPECT_EQ((GetMenuState(menu, items[i].Command, MF_BYCOMMAND) & MF_CHECKED) != 0,
              items[i].Checked)
        << items[i].Text;
  }
  CheckSystemMenuItem(kDaitchMokotoffItem, true);
  EXPECT_NE(GetMenuState(menu, kDaitchMokotoffItem, MF_BYCOMMAND) & MF_CHECKED, 0u);
  CheckSystemMenuItem(kDaitchMokotoffItem, false);
  EXPECT_EQ(GetMenuState(menu, kDaitchMokotoffItem, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(MainWindowTest, TheEditFieldsHaveTheirTypingLimits) {
  EXPECT_EQ(SendMessageA(TestControl(kSearchInEdit), EM_GETLIMITTEXT, 0, 0), 255);
  EXPECT_EQ(SendMessageA(TestControl(kSearchForEdit), EM_GETLIMITTEXT, 0, 0), 255);
  // A text is read whole characters at a time.
  SetControlText(kSearchForEdit, "a\xd0\x96\xd0\x96");
  char text[3];
  EXPECT_EQ(GetControlText(kSearchForEdit, text, sizeof text), 1);
  EXPECT_STREQ(text, "a");
}

TEST_F(MainWindowTest, TheControlsAreCreatedInTableOrder) {
  // Tab follows the creation order, which is the order of the children.
  HWND child = GetWindow(TestMainWindow(), GW_CHILD);
  for (const ControlRow& row : kControlTable) {
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetDlgCtrlID(child), row.Id);
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);
}

class ControlTest : public MainWindowTest, public testing::WithParamInterface<ControlRow> {};

TEST_P(ControlTest, StandsAsTheLayoutSays) {
  const ControlRow& row = GetParam();
  HWND control = TestControl(row.Id);
  ASSERT_NE(control, nullptr);
  const ExpectedClass& expected = ExpectedFor(row.Kind);
  EXPECT_EQ(ClassName(control), expected.ClassName);
  // Enabled or not is the button rule's business, not the layout's.
  auto style = static_cast<DWORD>(GetWindowLongA(control, GWL_STYLE));
  EXPECT_EQ((style | expected.TakenOver) & ~DWORD{WS_DISABLED}, expected.Style);
  EXPECT_EQ(GetWindowLongA(control, GWL_EXSTYLE), 0);
  EXPECT_EQ(GetDlgCtrlID(control), row.Id);
  EXPECT_EQ(WindowText(control), row.Text != nullptr ? row.Text : "");
  RECT place = {};
  ASSERT_TRUE(GetWindowRect(control, &place));
  MapWindowPoints(nullptr, TestMainWindow(), reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, row.X);
  EXPECT_EQ(place.top, row.Y);
  EXPECT_EQ(place.right - place.left, row.Width);
  EXPECT_EQ(place.bottom - place.top, row.Height);
  // No font is given to any control: all use the system font.
  EXPECT_EQ(SendMessageA(control, WM_GETFONT, 0, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Layout, ControlTest, testing::ValuesIn(kControlTable),
                         [](const testing::TestParamInfo<ControlRow>& info) {
                           return "Id" + std::to_string(info.param.Id);
                         });

}  // namespace
