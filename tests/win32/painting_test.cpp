// What the Win32 window shows, read from its pixels: a status text leaves nothing of a
// longer one before it, and lines added in a burst, which are drawn together rather than
// one by one, are counted at once and are all drawn, with their scroll range, once the
// burst has been drawn or another list operation comes.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "platform/thread.h"
#include "platform/window.h"
#include "win32/window_test_support.h"

namespace {

// The client area of a control as the screen shows it, copied from the main window's
// surface, where the control draws.
struct Picture {
  int Width = 0;
  int Height = 0;
  std::vector<COLORREF> Pixels;
  COLORREF At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * Width + x)]; }
};

Picture Photograph(HWND control) {
  Picture picture;
  HWND window = TestMainWindow();
  RECT client = {};
  if (!GetClientRect(control, &client)) return picture;
  MapWindowPoints(control, window, reinterpret_cast<POINT*>(&client), 2);
  picture.Width = client.right - client.left;
  picture.Height = client.bottom - client.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.Width;
  info.bmiHeader.biHeight = -picture.Height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap != nullptr && bits != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.Width, picture.Height, screen, client.left, client.top, SRCCOPY);
    GdiFlush();
    const auto* pixel = static_cast<const DWORD*>(bits);
    for (int i = 0; i < picture.Width * picture.Height; ++i) {
      DWORD value = pixel[i];  // 0x00RRGGBB
      picture.Pixels.push_back(RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF));
    }
    SelectObject(memory, old);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  return picture;
}

// The pixels of the columns [from, to) that are none of the background colours: text.
int InkBetween(const Picture& picture, int from, int to, std::initializer_list<int> backgrounds) {
  int ink = 0;
  for (int y = 0; y < picture.Height; ++y) {
    for (int x = std::max(from, 0); x < std::min(to, picture.Width); ++x) {
      bool background = false;
      for (int colour : backgrounds) {
        background = background || picture.At(x, y) == GetSysColor(colour);
      }
      if (!background) ++ink;
    }
  }
  return ink;
}

// A static's text stands on the colour a static is given, and the rest of it on the main
// window's background.
int StatusInk(const Picture& picture, int from, int to) {
  return InkBetween(picture, from, to, {COLOR_3DFACE, COLOR_MENU});
}

int ListInk(const Picture& picture) {
  return InkBetween(picture, 0, picture.Width, {COLOR_WINDOW});
}

// The width of `text` in the control's font (the system font when it has none).
int TextWidth(HWND control, const std::string& text) {
  auto font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  SIZE size = {};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

// A status text as the program shows it: padded with blanks to 90 characters.
std::string Padded(const std::string& text) { return text + std::string(90 - text.size(), ' '); }

// Lines in the list box's vertical scroll range.
int ScrollLines(HWND list) {
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE;
  if (!GetScrollInfo(list, SB_VERT, &info)) return -1;
  return info.nMax - info.nMin + 1;
}

int ListCount() {
  return static_cast<int>(SendMessageA(TestControl(kResultListBox), LB_GETCOUNT, 0, 0));
}

std::string ListLine(int index) {
  char text[128] = "";
  SendMessageA(TestControl(kResultListBox), LB_GETTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(text));
  return text;
}

std::string ResultLine(int number) {
  return "Katherine\tletter" + std::to_string(number) + ".txt\t" + std::to_string(number);
}

// Delivers the window thread's messages, waiting for more, until `done` holds.
void DeliverUntil(const std::function<bool()>& done) {
  MSG message;
  while (!done() && GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// What the worker does: adds its lines as a search does, one call each, and then, like
// the end of a search, sets the scroll width, counts the lines and tells the status.
int workerLines = 0;
bool workerEndsLikeASearch = false;

int AddLinesFromTheWorker() {
  for (int i = 1; i <= workerLines; ++i) ListBoxAddLine(kResultListBox, ResultLine(i).c_str());
  if (workerEndsLikeASearch) {
    ListBoxSetHorizontalExtent(kResultListBox, 250);
    ListBoxCount(kResultListBox);
    SetControlText(kStatusLine, Padded("Completed:").c_str());
  }
  EndLoopFromWorker();
  return 0;
}

class PaintingTest : public testing::Test {
 protected:
  void SetUp() override {
    CreateTestWindow();
    workerLines = 0;
    workerEndsLikeASearch = false;
  }
  void TearDown() override {
    RequestStop();
    JoinWorker();
    DestroyTestWindow();
  }

  static void RunWorker(int lines, bool endsLikeASearch) {
    workerLines = lines;
    workerEndsLikeASearch = endsLikeASearch;
    ASSERT_EQ(StartWorker(AddLinesFromTheWorker), 0);
    RunMessageLoop();
    JoinWorker();
  }
};

TEST_F(PaintingTest, AShorterStatusTextLeavesNothingOfALongerOne) {
  HWND window = TestMainWindow();
  HWND status = TestControl(kStatusLine);
  const std::string shorter = "Ready";
  int shorterEnd = TextWidth(status, shorter) + 2;
  SetControlText(kStatusLine,
                 Padded("Completed:  1 file(s) searched. Found 385 item(s) in 1 file(s).").c_str());
  UpdateWindow(window);
  Picture before = Photograph(status);
  ASSERT_GT(before.Width, shorterEnd);
  // The longer text shows past where the shorter one will end.
  ASSERT_GT(StatusInk(before, shorterEnd, before.Width), 0);

  SetControlText(kStatusLine, Padded(shorter).c_str());
  UpdateWindow(window);
  Picture after = Photograph(status);
  EXPECT_GT(StatusInk(after, 0, shorterEnd), 0) << "the shorter text is not drawn";
  EXPECT_EQ(StatusInk(after, shorterEnd, after.Width), 0)
      << "the end of the longer text still shows";
}

TEST_F(PaintingTest, LinesFromTheWorkerAreThereAtOnceAndDrawnSoonAfter) {
  constexpr int kLines = 300;
  RunWorker(kLines, false);
  HWND list = TestControl(kResultListBox);
  // Every call was carried out before the worker went on.
  EXPECT_EQ(ListCount(), kLines);
  EXPECT_EQ(ListLine(0), ResultLine(1));
  EXPECT_EQ(ListLine(kLines - 1), ResultLine(kLines));
  // Left alone, the window draws the lines with the scroll range that covers them.
  DeliverUntil([&] { return ScrollLines(list) == kLines; });
  UpdateWindow(TestMainWindow());
  EXPECT_GT(ListInk(Photograph(list)), 0) << "no line is drawn";
  // The timer that does it is the window's own business, not the program's.
  for (const RecordedMessage& message : Recorded()) EXPECT_NE(message.Message, WM_TIMER);
}

TEST_F(PaintingTest, AtTheEndOfASearchTheListIsDrawnWithItsScrollRange) {
  constexpr int kLines = 300;
  RunWorker(kLines, true);
  HWND list = TestControl(kResultListBox);
  EXPECT_EQ(ListCount(), kLines);
  EXPECT_EQ(ScrollLines(list), kLines);
  UpdateWindow(TestMainWindow());
  EXPECT_GT(ListInk(Photograph(list)), 0) << "no line is drawn";
}

TEST_F(PaintingTest, ClearingTheListRightAfterNewLinesLeavesItBlank) {
  HWND list = TestControl(kResultListBox);
  RunWorker(20, false);
  DeliverUntil([&] { return ScrollLines(list) == 20; });
  UpdateWindow(TestMainWindow());
  ASSERT_GT(ListInk(Photograph(list)), 0);
  // As Clear does on the window thread, with lines just added.
  ListBoxAddLine(kResultListBox, ResultLine(21).c_str());
  ListBoxReset(kResultListBox);
  UpdateWindow(TestMainWindow());
  EXPECT_EQ(ListCount(), 0);
  EXPECT_EQ(ListInk(Photograph(list)), 0) << "cleared lines still show";
}

// Whether the font the list draws in has a glyph of its own for each character of `text`.
bool ListFontHasGlyphs(HWND list, const std::wstring& text) {
  HDC dc = GetDC(list);
  auto font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
  std::vector<WORD> glyphs(text.size());
  const DWORD got = GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()),
                                     glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  return got == text.size() &&
         std::none_of(glyphs.begin(), glyphs.end(), [](WORD glyph) { return glyph == 0xFFFF; });
}

// The System font has no Cyrillic letters: a list that holds a name in Cyrillic draws in a
// font that has them, and goes back to the System font once emptied. Names of Latin-1
// alone keep the System font.
TEST_F(PaintingTest, AListWithCyrillicNamesDrawsInAFontThatHasTheirLetters) {
  HWND list = TestControl(kResultListBox);
  ListBoxAddLine(kResultListBox, "r\xc3\xa9sum\xc3\xa9 \xc3\xa9t\xc3\xa9.txt");
  EXPECT_EQ(SendMessageA(list, WM_GETFONT, 0, 0), 0);
  ListBoxAddLine(kResultListBox, "Z:\\names\\\xd0\x9a\xd1\x81\xd0\xb5\xd0\xbd\xd0\xb8\xd1\x8f.txt");
  EXPECT_NE(SendMessageA(list, WM_GETFONT, 0, 0), 0);
  EXPECT_TRUE(ListFontHasGlyphs(list, L"\x041a\x0441\x0435\x043d\x0438\x044f"));
  char line[64] = "";
  ListBoxGetText(kResultListBox, 1, line, sizeof line);
  EXPECT_STREQ(line, "Z:\\names\\\xd0\x9a\xd1\x81\xd0\xb5\xd0\xbd\xd0\xb8\xd1\x8f.txt");
  ListBoxReset(kResultListBox);
  EXPECT_EQ(SendMessageA(list, WM_GETFONT, 0, 0), 0);
}

// Any other operation on the list draws the lines added just before it, with the scroll
// range that covers them, without waiting.
struct ListOperation {
  const char* Name;
  std::function<void()> Run;
  int LinesLeft;  // of the ten added
};

void PrintTo(const ListOperation& operation, std::ostream* out) { *out << operation.Name; }

class OtherListOperationTest : public PaintingTest,
                               public testing::WithParamInterface<ListOperation> {};

TEST_P(OtherListOperationTest, DrawsTheLinesAddedBeforeIt) {
  HWND list = TestControl(kResultListBox);
  UpdateWindow(TestMainWindow());
  for (int i = 1; i <= 10; ++i) {
    ASSERT_EQ(ListBoxAddLine(kResultListBox, ResultLine(i).c_str()), i - 1);
  }
  GetParam().Run();
  EXPECT_EQ(ListCount(), GetParam().LinesLeft);
  EXPECT_EQ(ScrollLines(list), GetParam().LinesLeft);
  UpdateWindow(TestMainWindow());
  EXPECT_GT(ListInk(Photograph(list)), 0) << "no line is drawn";
}

INSTANTIATE_TEST_SUITE_P(
    Operations, OtherListOperationTest,
    testing::Values(ListOperation{"DeleteLine", [] { ListBoxDeleteLine(kResultListBox, 0); }, 9},
                    ListOperation{"SetScrollWidth",
                                  [] { ListBoxSetHorizontalExtent(kResultListBox, 600); }, 10},
                    ListOperation{"SetTabStops",
                                  [] {
                                    const int stops[3] = {62, 122, 164};
                                    ListBoxSetTabStops(kResultListBox, stops, 3);
                                  },
                                  10},
                    ListOperation{"ReadSelection", [] { ListBoxGetSelection(kResultListBox); },
                                  10}),
    [](const testing::TestParamInfo<ListOperation>& info) { return std::string(info.param.Name); });

}  // namespace
