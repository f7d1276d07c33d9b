// The control operations of the window on Win32, by identifier. On the worker each call is
// carried over to the window thread; what it passes is copied into the call and what it
// reads comes back in the call's record, never through the worker's own buffers.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/character_cut.h"
#include "platform/thread.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_window_thread.h"
#include "platform/window.h"

namespace {

std::string TextOf(HWND control) {
  if (control == nullptr) return {};
  int length = GetWindowTextLengthA(control);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(std::max(copied, 0)));
  return text;
}

// Copies what fits with a terminator, never the first bytes of a character alone; returns
// the count copied.
int CopyOut(const std::string& text, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  const int length = static_cast<int>(
      WholeCharactersWithin(text.data(), text.size(), static_cast<std::size_t>(size - 1)));
  std::memcpy(buffer, text.data(), static_cast<std::size_t>(length));
  buffer[length] = '\0';
  return length;
}

LRESULT SendToControl(int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND control = Win32Control(id);
  return control != nullptr ? SendMessageA(control, message, wParam, lParam) : LB_ERR;
}

// The text of a list line, whatever its length; false when there is no such line.
bool LineText(int id, int index, std::string* text) {
  HWND control = Win32Control(id);
  if (control == nullptr) return false;
  LRESULT length = SendMessageA(control, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return false;
  text->assign(static_cast<std::size_t>(length) + 1, '\0');
  LRESULT copied = SendMessageA(control, LB_GETTEXT, static_cast<WPARAM>(index),
                                reinterpret_cast<LPARAM>(text->data()));
  if (copied < 0) return false;
  text->resize(std::min(static_cast<std::size_t>(copied), static_cast<std::size_t>(length)));
  return true;
}

// A simple static draws its new text over the old one without erasing first, so a shorter
// text would leave the end of a longer one showing. The main window's background is drawn
// again under the control, then the control's text over it.
void RedrawUnder(HWND control) {
  char name[16] = "";
  if (GetClassNameA(control, name, sizeof name) == 0 || lstrcmpiA(name, "Static") != 0) return;
  HWND parent = GetParent(control);
  RECT place = {};
  if (parent == nullptr || !GetWindowRect(control, &place)) return;
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&place), 2);
  RedrawWindow(parent, &place, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// Adding a line would draw the list box and its scroll bars at once, which costs far more
// than the line itself (several round trips to the display server). The list box whose
// drawing is held, and since when; window thread only.
constexpr UINT kListDrawingMilliseconds = 60;
HWND heldList = nullptr;
ULONGLONG heldSince = 0;

// Before a line is added: holds the list box's drawing if it is not held yet. A burst
// that never leaves the window thread idle would keep the timer's message from coming, so
// a hold that has lasted its time is also ended here, and a new one begun.
void HoldListDrawing(HWND list) {
  ULONGLONG now = GetTickCount64();
  if (heldList == list && now - heldSince < kListDrawingMilliseconds) return;
  Win32ReleaseListDrawing();
  HWND window = Win32MainWindow();
  if (window == nullptr ||
      SetTimer(window, kWin32ListDrawingTimer, kListDrawingMilliseconds, nullptr) == 0) {
    return;  // drawn line by line, as without a hold
  }
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  heldList = list;
  heldSince = now;
}

// Every list operation but adding and reading lines draws what was held first, so that the
// list box is drawn in full before it is changed otherwise or a command works on it.
LRESULT SendToDrawnList(int id, UINT message, WPARAM wParam, LPARAM lParam) {
  Win32ReleaseListDrawing();
  return SendToControl(id, message, wParam, lParam);
}

// The controls draw in the System font, as the window always has. It has no letters
// beyond the first 256 characters, so a name in Cyrillic, Greek or Chinese would show as
// boxes: a list that holds such a line draws in the message font instead (which Windows
// completes with its linked fonts for other scripts) until it is emptied. Window thread
// only.
HFONT listFont = nullptr;

// Whether UTF-8 `text` holds a character beyond U+00FF: a lead byte from 0xC4 on.
bool BeyondLatin1(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0xC4 && c <= 0xF4) return true;
  }
  return false;
}

void UseListFont(HWND list, const std::string& line) {
  if (!BeyondLatin1(line) || SendMessageA(list, WM_GETFONT, 0, 0) != 0) return;
  if (listFont == nullptr) {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
    listFont = CreateFontIndirectA(&metrics.lfMessageFont);
    if (listFont == nullptr) return;
  }
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(listFont), TRUE);
}

}  // namespace

void Win32ReleaseListDrawing() {
  HWND list = heldList;
  if (list == nullptr) return;
  heldList = nullptr;
  if (HWND window = Win32MainWindow()) KillTimer(window, kWin32ListDrawingTimer);
  if (!IsWindow(list)) return;
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  // Drawn now, not when the window thread is next idle: a burst of lines may go on at once
  // and hold the drawing again.
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

void Win32ForgetListDrawing() { heldList = nullptr; }

int GetControlText(int id, char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (buffer == nullptr || size <= 0) return 0;
  Win32CallResult result;
  if (!Win32OnWindowThread([id](Win32CallResult& out) { out.Text = TextOf(Win32Control(id)); },
                           &result)) {
    return 0;
  }
  return CopyOut(result.Text, buffer, size);
}

void SetControlText(int id, const char* text) {
  std::string copy = text != nullptr ? text : "";
  Win32OnWindowThread([id, copy](Win32CallResult&) {
    HWND control = Win32Control(id);
    if (control == nullptr) return;
    SetWindowTextA(control, copy.c_str());
    RedrawUnder(control);
  });
}

void EnableControl(int id, bool enabled) {
  Win32OnWindowThread([id, enabled](Win32CallResult&) {
    if (HWND control = Win32Control(id)) EnableWindow(control, enabled ? TRUE : FALSE);
  });
}

void SetControlFocus(int id) {
  Win32OnWindowThread([id](Win32CallResult&) {
    if (HWND control = Win32Control(id)) SetFocus(control);
  });
}

int GetCheckState(int id) {
  Win32CallResult result;
  bool done = Win32OnWindowThread(
      [id](Win32CallResult& out) {
        HWND window = Win32MainWindow();
        out.Value = window != nullptr ? SendDlgItemMessageA(window, id, BM_GETCHECK, 0, 0) : 0;
      },
      &result);
  return done ? static_cast<int>(result.Value) : 0;
}

void SetTypingLimit(int id, int limit) {
  Win32OnWindowThread([id, limit](Win32CallResult&) {
    SendToControl(id, EM_LIMITTEXT, static_cast<WPARAM>(std::max(limit, 0)), 0);
  });
}

int ListBoxAddLine(int id, const char* text) {
  std::string copy = text != nullptr ? text : "";
  Win32CallResult result;
  bool done = Win32OnWindowThread(
      [id, copy](Win32CallResult& out) {
        HWND control = Win32Control(id);
        if (control == nullptr) {
          out.Value = LB_ERR;
          return;
        }
        HoldListDrawing(control);
        UseListFont(control, copy);
        out.Value = SendMessageA(control, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(copy.c_str()));
      },
      &result);
  // LB_ERR and LB_ERRSPACE alike: the line was not added.
  return done && result.Value >= 0 ? static_cast<int>(result.Value) : -1;
}

int ListBoxCount(int id) {
  Win32CallResult result;
  bool done = Win32OnWindowThread(
      [id](Win32CallResult& out) { out.Value = SendToControl(id, LB_GETCOUNT, 0, 0); }, &result);
  return done && result.Value > 0 ? static_cast<int>(result.Value) : 0;
}

int ListBoxGetText(int id, int index, char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (index < 0) return -1;
  Win32CallResult result;
  bool done = Win32OnWindowThread(
      [id, index](Win32CallResult& out) { out.Value = LineText(id, index, &out.Text) ? 0 : -1; },
      &result);
  if (!done || result.Value != 0) return -1;
  CopyOut(result.Text, buffer, size);
  return static_cast<int>(result.Text.size());
}

int ListBoxGetSelection(int id) {
  Win32CallResult result;
  bool done = Win32OnWindowThread(
      [id](Win32CallResult& out) { out.Value = SendToDrawnList(id, LB_GETCURSEL, 0, 0); }, &result);
  return done && result.Value >= 0 ? static_cast<int>(result.Value) : -1;
}

void ListBoxDeleteLine(int id, int index) {
  if (index < 0) return;
  Win32OnWindowThread([id, index](Win32CallResult&) {
    SendToDrawnList(id, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
  });
}

void ListBoxReset(int id) {
  Win32OnWindowThread([id](Win32CallResult&) {
    SendToDrawnList(id, LB_RESETCONTENT, 0, 0);
    // Back to the System font: WM_SETFONT without a font.
    if (HWND list = Win32Control(id)) SendMessageA(list, WM_SETFONT, 0, TRUE);
  });
}

void ListBoxSetHorizontalExtent(int id, int pixels) {
  Win32OnWindowThread([id, pixels](Win32CallResult&) {
    SendToDrawnList(id, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(std::max(pixels, 0)), 0);
  });
}

void ListBoxSetTabStops(int id, const int* stops, int count) {
  std::vector<INT> copy;
  if (stops != nullptr && count > 0) copy.assign(stops, stops + count);
  Win32OnWindowThread([id, copy](Win32CallResult&) {
    SendToDrawnList(id, LB_SETTABSTOPS, static_cast<WPARAM>(copy.size()),
                    copy.empty() ? 0 : reinterpret_cast<LPARAM>(copy.data()));
  });
}
