// window_probe: looks at the windows of another program from the outside, for the scripts
// that drive the program's window with the keyboard. Every wait polls a condition until an
// overall deadline; nothing assumes how fast the machine is.
//
//   window_probe find TITLE SECONDS
//       waits for a visible top-level window titled exactly TITLE; prints its handle
//       (fails when there are more than one)
//   window_probe owned WINDOW CLASS SECONDS
//       waits for a visible, enabled top-level window of CLASS owned by WINDOW (a dialog
//       or a message box); prints its handle and, on a second line, its title
//   window_probe text WINDOW ID
//       prints the text of WINDOW's child ID
//   window_probe wait-text WINDOW ID PREFIX SECONDS
//       waits until the text of WINDOW's child ID starts with PREFIX; prints the text
//   window_probe focus WINDOW SECONDS
//       waits until WINDOW is the foreground window and the keyboard focus is on one of
//       its controls; prints that control's ID
//   window_probe wait-focus WINDOW ID SECONDS
//       waits until WINDOW is the foreground window with the keyboard focus on child ID
//   window_probe centre WINDOW ID
//       prints the screen position of the middle of WINDOW's child ID as "X Y"
//   window_probe wait-enabled WINDOW ID STATE SECONDS
//       waits until WINDOW's child ID is enabled (STATE 1) or disabled (STATE 0)
//   window_probe checked WINDOW ID
//       prints the check state of the check box WINDOW's child ID (0 clear, 1 ticked)
//   window_probe wait-gone WINDOW SECONDS
//       waits until WINDOW no longer exists
//
// ID 0 is WINDOW itself, and ID "focus" the control of WINDOW that has the keyboard focus
// (an edit field inside a combo box, for instance, which has no ID of its own to ask by).
//
// Exit code 0 when done, 1 when a wait ran out or a window or control is missing (with the
// reason on standard error), 2 for a wrong command line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kPollMilliseconds = 50;
constexpr UINT kReplyMilliseconds = 5000;

struct Deadline {
  ULONGLONG End;
  explicit Deadline(const char* seconds)
      : End(GetTickCount64() + static_cast<ULONGLONG>(std::atof(seconds) * 1000.0)) {}
  // False once the deadline has passed; otherwise waits one polling interval first.
  bool WaitMore() const {
    if (GetTickCount64() >= End) return false;
    Sleep(kPollMilliseconds);
    return true;
  }
};

HWND ParseWindow(const char* text) {
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 0)));
}

void PrintWindow(HWND window) {
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
}

// The text of a window of another process, asked with WM_GETTEXT so that a control's
// text is read, not only a caption; a hung window gives up after a while.
bool ReadText(HWND window, std::string& text) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyMilliseconds,
                           &length)) {
    return false;
  }
  std::string buffer(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(),
                           reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                           kReplyMilliseconds, &copied)) {
    return false;
  }
  buffer.resize(copied < buffer.size() ? copied : buffer.size() - 1);
  text = buffer;
  return true;
}

// The child of WINDOW that holds the keyboard focus of WINDOW's thread, or null. The
// focus counts only while WINDOW is the window that receives the keys.
HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (thread == 0 || !GetGUIThreadInfo(thread, &info) || info.hwndFocus == nullptr) return nullptr;
  if (info.hwndActive != window || GetForegroundWindow() != window) return nullptr;
  return IsChild(window, info.hwndFocus) ? info.hwndFocus : nullptr;
}

HWND Child(HWND window, const char* id) {
  if (std::strcmp(id, "focus") == 0) return FocusOf(window);
  int number = std::atoi(id);
  return number == 0 ? window : GetDlgItem(window, number);
}

struct OwnedSearch {
  HWND Owner;
  const char* ClassName;
  HWND Found;
};

BOOL CALLBACK CheckOwned(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<OwnedSearch*>(data);
  char name[256] = "";
  if (GetWindow(window, GW_OWNER) != search->Owner || !IsWindowVisible(window) ||
      !IsWindowEnabled(window) || GetClassNameA(window, name, sizeof name) == 0 ||
      std::strcmp(name, search->ClassName) != 0) {
    return TRUE;
  }
  search->Found = window;
  return FALSE;
}

struct TitleSearch {
  const char* Title;
  HWND Found;
  int Count;
};

BOOL CALLBACK CheckTitle(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TitleSearch*>(data);
  std::string title;
  if (!IsWindowVisible(window) || !ReadText(window, title) || title != search->Title) return TRUE;
  search->Found = window;
  ++search->Count;
  return TRUE;
}

int Fail(const char* format, const char* detail) {
  std::fprintf(stderr, "window_probe: ");
  std::fprintf(stderr, format, detail);
  std::fputc('\n', stderr);
  return 1;
}

int Usage() {
  std::fputs("usage: window_probe find TITLE SECONDS | owned WINDOW CLASS SECONDS |\n"
             "       text WINDOW ID | wait-text WINDOW ID PREFIX SECONDS |\n"
             "       focus WINDOW SECONDS | wait-focus WINDOW ID SECONDS |\n"
             "       centre WINDOW ID | wait-enabled WINDOW ID STATE SECONDS |\n"
             "       checked WINDOW ID | wait-gone WINDOW SECONDS\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];

  if (command == "find" && argc == 4) {
    Deadline deadline(argv[3]);
    do {
      TitleSearch search{argv[2], nullptr, 0};
      EnumWindows(CheckTitle, reinterpret_cast<LPARAM>(&search));
      // Another program's window of the same title would take the keys meant for this one.
      if (search.Count > 1) return Fail("more than one window is titled \"%s\"", argv[2]);
      if (search.Found != nullptr) {
        PrintWindow(search.Found);
        return 0;
      }
    } while (deadline.WaitMore());
    return Fail("no window titled \"%s\" appeared", argv[2]);
  }

  if (command == "owned" && argc == 5) {
    HWND owner = ParseWindow(argv[2]);
    Deadline deadline(argv[4]);
    do {
      OwnedSearch search{owner, argv[3], nullptr};
      EnumWindows(CheckOwned, reinterpret_cast<LPARAM>(&search));
      if (search.Found != nullptr) {
        std::string title;
        ReadText(search.Found, title);
        PrintWindow(search.Found);
        std::printf("%s\n", title.c_str());
        return 0;
      }
    } while (deadline.WaitMore());
    return Fail("no window of class \"%s\" owned by the window appeared", argv[3]);
  }

  if ((command == "text" && argc == 4) || (command == "wait-text" && argc == 6)) {
    HWND control = Child(ParseWindow(argv[2]), argv[3]);
    if (control == nullptr) return Fail("no control %s", argv[3]);
    std::string text;
    if (command == "text") {
      if (!ReadText(control, text)) return Fail("control %s does not answer", argv[3]);
      std::printf("%s\n", text.c_str());
      return 0;
    }
    const std::string prefix = argv[4];
    Deadline deadline(argv[5]);
    do {
      if (ReadText(control, text) && text.compare(0, prefix.size(), prefix) == 0) {
        std::printf("%s\n", text.c_str());
        return 0;
      }
    } while (deadline.WaitMore());
    std::fprintf(stderr, "window_probe: control %s reads \"%s\", not \"%s...\"\n", argv[3],
                 text.c_str(), prefix.c_str());
    return 1;
  }

  if ((command == "focus" && argc == 4) || (command == "wait-focus" && argc == 5)) {
    HWND window = ParseWindow(argv[2]);
    int wanted = command == "focus" ? -1 : std::atoi(argv[3]);
    Deadline deadline(argv[argc - 1]);
    int last = -1;
    do {
      HWND focus = FocusOf(window);
      last = focus != nullptr ? GetDlgCtrlID(focus) : -1;
      if (focus != nullptr && (wanted == -1 || last == wanted)) {
        std::printf("%d\n", last);
        return 0;
      }
    } while (deadline.WaitMore());
    std::fprintf(stderr, "window_probe: the focus is on control %d, not %s\n", last,
                 wanted == -1 ? "any control" : argv[3]);
    return 1;
  }

  if (command == "wait-enabled" && argc == 6) {
    HWND control = Child(ParseWindow(argv[2]), argv[3]);
    if (control == nullptr) return Fail("no control %s", argv[3]);
    bool wanted = std::atoi(argv[4]) != 0;
    Deadline deadline(argv[5]);
    do {
      if ((IsWindowEnabled(control) != FALSE) == wanted) return 0;
    } while (deadline.WaitMore());
    std::fprintf(stderr, "window_probe: control %s is still %s\n", argv[3],
                 wanted ? "disabled" : "enabled");
    return 1;
  }

  if ((command == "centre" || command == "checked") && argc == 4) {
    HWND control = Child(ParseWindow(argv[2]), argv[3]);
    if (control == nullptr) return Fail("no control %s", argv[3]);
    if (command == "checked") {
      DWORD_PTR state = 0;
      if (!SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kReplyMilliseconds,
                               &state)) {
        return Fail("control %s does not answer", argv[3]);
      }
      std::printf("%d\n", static_cast<int>(state));
      return 0;
    }
    RECT box = {};
    if (!GetWindowRect(control, &box)) return Fail("no place for control %s", argv[3]);
    std::printf("%ld %ld\n", (box.left + box.right) / 2, (box.top + box.bottom) / 2);
    return 0;
  }

  if (command == "wait-gone" && argc == 4) {
    HWND window = ParseWindow(argv[2]);
    Deadline deadline(argv[3]);
    do {
      if (!IsWindow(window)) return 0;
    } while (deadline.WaitMore());
    return Fail("the window %s is still there", argv[2]);
  }

  return Usage();
}
