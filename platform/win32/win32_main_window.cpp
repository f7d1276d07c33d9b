// The main window, its controls, its system menu and the message loop on Win32.
#include "platform/win32/win32_main_window.h"

#include <atomic>

#include "platform/thread.h"
#include "platform/win32/win32_window_thread.h"
#include "platform/window.h"

namespace {

constexpr char kClassName[] = "TsWndClass";
// A title bar with the system menu and a minimize button; no sizing border, no maximize.
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX;

// Written by the window thread; the worker reads it to post to the window.
std::atomic<HWND> mainWindow{nullptr};
WindowProcedure procedure = nullptr;
bool classRegistered = false;

struct ControlClass {
  const char* Name;
  DWORD Style;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Label:
      // One line of text flush left, no tab stop. A simple static does not erase what a
      // longer text left behind: the program pads its status texts to a fixed width.
      return {"STATIC", WS_CHILD | WS_VISIBLE | SS_SIMPLE};
    case ControlKind::Edit:
      return {"EDIT", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL};
    case ControlKind::PushButton:
      return {"BUTTON", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | BS_PUSHBUTTON};
    case ControlKind::DefaultButton:
      return {"BUTTON", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | BS_DEFPUSHBUTTON};
    case ControlKind::CheckBox:
      return {"BUTTON", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX};
    case ControlKind::ListBox:
      // Unsorted, tabs expanded, exactly the height given, both scroll bars.
      return {"LISTBOX", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP |
                             LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT |
                             LBS_DISABLENOSCROLL};
  }
  return {nullptr, 0};
}

// What a dialog does with WM_NEXTDLGCTL, which the dialog keys send for the mnemonic of a
// label: lParam non-zero names the control in wParam, otherwise wParam picks the next
// (0) or previous tab stop.
void MoveDialogFocus(HWND window, WPARAM wParam, LPARAM lParam) {
  HWND target = nullptr;
  if (LOWORD(lParam) != 0) {
    target = reinterpret_cast<HWND>(wParam);
  } else {
    HWND focus = GetFocus();
    if (focus != nullptr && !IsChild(window, focus)) focus = nullptr;
    target = GetNextDlgTabItem(window, focus, wParam != 0);
  }
  if (target != nullptr && IsChild(window, target)) SetFocus(target);
}

LRESULT CALLBACK MainWindowMessages(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The window receives its first messages inside CreateWindowExA, before its handle is
  // returned, and the program's procedure answers them through DefaultWindowProc.
  if (mainWindow.load() == nullptr && procedure != nullptr) mainWindow.store(window);
  if (window != mainWindow.load()) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case DM_GETDEFID:
      // The dialog keys ask for the default button: Enter then sends Go's command.
      return MAKELONG(IDOK, DC_HASDEFID);
    case WM_NEXTDLGCTL:
      MoveDialogFocus(window, wParam, lParam);
      return 0;
    case kWin32CarryMessage:
      Win32RunCarriedCalls();
      return 0;
    case WM_TIMER:
      if (wParam != kWin32ListDrawingTimer) break;
      Win32ReleaseListDrawing();
      return 0;
    default:
      break;
  }
  LRESULT result = procedure != nullptr ? static_cast<LRESULT>(procedure(message, wParam, lParam))
                                        : DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    mainWindow.store(nullptr);
    procedure = nullptr;
    Win32DropCarriedCalls();
    Win32ForgetListDrawing();
  }
  return result;
}

bool RegisterMainClass(HINSTANCE instance) {
  if (classRegistered) return true;
  WNDCLASSA windowClass = {};
  windowClass.style = 0;
  windowClass.lpfnWndProc = MainWindowMessages;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "TSICON");
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
  windowClass.lpszMenuName = nullptr;
  windowClass.lpszClassName = kClassName;
  classRegistered = RegisterClassA(&windowClass) != 0;
  return classRegistered;
}

}  // namespace

HWND Win32MainWindow() { return mainWindow.load(); }

HWND Win32Control(int id) {
  HWND window = mainWindow.load();
  return window != nullptr ? GetDlgItem(window, id) : nullptr;
}

// --- window.h ---

int CreateMainWindow(const char* title, int x, int y, int width, int height, WindowProcedure proc) {
  if (HWND old = mainWindow.load()) {
    // A window made again replaces the old one without telling the old procedure.
    procedure = nullptr;
    DestroyWindow(old);
    mainWindow.store(nullptr);
  }
  HINSTANCE instance = GetModuleHandleA(nullptr);
  if (proc == nullptr || !RegisterMainClass(instance)) return -1;
  procedure = proc;
  HWND window = CreateWindowExA(0, kClassName, title != nullptr ? title : "", kMainStyle, x, y,
                                width, height, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    procedure = nullptr;
    mainWindow.store(nullptr);
    return -1;
  }
  mainWindow.store(window);
  return 0;
}

int CreateControl(const ControlRow& row) {
  HWND window = mainWindow.load();
  ControlClass kind = ClassOf(row.Kind);
  if (window == nullptr || kind.Name == nullptr) return -1;
  HWND control = CreateWindowExA(0, kind.Name, row.Text != nullptr ? row.Text : "", kind.Style,
                                 row.X, row.Y, row.Width, row.Height, window,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.Id)),
                                 GetModuleHandleA(nullptr), nullptr);
  return control != nullptr ? 0 : -1;
}

void AddSystemMenuItem(const char* text, int id) {
  HWND window = mainWindow.load();
  if (window == nullptr) return;
  HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr) return;
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(id), text != nullptr ? text : "");
}

void AddSystemMenuCheckItem(const char* text, int id, bool checked) {
  HWND window = mainWindow.load();
  if (window == nullptr) return;
  HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr) return;
  AppendMenuA(menu, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), static_cast<UINT_PTR>(id),
              text != nullptr ? text : "");
}

void SetMainWindowTitle(const char* title) {
  if (HWND window = mainWindow.load()) SetWindowTextA(window, title != nullptr ? title : "");
}

void CheckSystemMenuItem(int id, bool checked) {
  HWND window = mainWindow.load();
  if (window == nullptr) return;
  HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr) return;
  CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void ShowMainWindow() {
  HWND window = mainWindow.load();
  if (window == nullptr) return;
  // The show code the program was started with.
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
  ShowWindow(window, show);
  UpdateWindow(window);
}

int RunMessageLoop() {
  MSG message = {};
  for (;;) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 0;
    // The dialog keys first: Tab, Enter, Escape and the mnemonics of the controls.
    HWND window = mainWindow.load();
    if (window != nullptr && IsDialogMessageA(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

void PostQuit(int exitCode) { PostQuitMessage(exitCode); }

void DestroyMainWindow() {
  if (HWND window = mainWindow.load()) DestroyWindow(window);
}

std::intptr_t SendMainWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
  Win32CallResult result;
  bool done = Win32OnWindowThread(
      [=](Win32CallResult& out) {
        HWND window = mainWindow.load();
        out.Value = window != nullptr ? SendMessageA(window, message, wParam, lParam) : 0;
      },
      &result);
  return done ? result.Value : 0;
}

std::intptr_t DefaultWindowProc(std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
  HWND window = mainWindow.load();
  if (window == nullptr) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}
