// Message boxes, opening a file with its default application, and the help page on Win32.
#include <windows.h>
// The shell's calls need the declarations above.
#include <shellapi.h>

#include <cstring>
#include <string>

#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_window_thread.h"
#include "platform/window.h"

namespace {

constexpr char kHelpPage[] = "morrin.html";

}  // namespace

void ShowMessageBox(const char* title, const char* text, MessageIcon icon) {
  std::string titleCopy = title != nullptr ? title : "";
  std::string textCopy = text != nullptr ? text : "";
  UINT style = MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
  Win32OnWindowThread([titleCopy, textCopy, style](Win32CallResult&) {
    MessageBoxA(Win32MainWindow(), textCopy.c_str(), titleCopy.c_str(), style);
  });
}

void OpenWithDefaultApplication(const char* path) {
  if (path == nullptr || path[0] == '\0') return;
  ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOW);
}

// The help page stands beside the program.
void OpenHelp() {
  char page[MAX_PATH + sizeof kHelpPage];
  DWORD length = GetModuleFileNameA(nullptr, page, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  char* name = std::strrchr(page, '\\');
  if (name == nullptr) return;
  std::memcpy(name + 1, kHelpPage, sizeof kHelpPage);
  ShellExecuteA(Win32MainWindow(), "open", page, nullptr, nullptr, SW_SHOW);
}
