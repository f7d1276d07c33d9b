#include "ui/main_window_proc.h"

#include <cstring>

#include "engine/search_state.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "ui/about.h"
#include "ui/file_commands.h"
#include "ui/list_commands.h"
#include "ui/search_commands.h"
#include "ui/window_search.h"
#include "ui/window_switches.h"

namespace {

// A search that has just ended by itself clears its running flag before its last button
// calls restore "&Go". A click on "Stop" in between is a Stop of that search (it only
// waits for the worker), not the start of a new one.
bool StopIsShown() {
  if (!WorkerExists()) return false;
  char text[8];
  GetControlText(kGoButton, text, sizeof text);
  return std::strcmp(text, "Stop") == 0;
}

// A click (or Enter, or an Alt letter) on a control.
std::intptr_t RunCommand(int id) {
  switch (id) {
    case kGoButton:
      if (WindowSearchState().SearchRunning != 0 || StopIsShown()) {
        StopCommand();
      } else {
        GoCommand();
      }
      return 0;
    case kBrowseButton:
      BrowseCommand();
      return 0;
    case kDeleteButton:
      DeleteCommand();
      return 0;
    case kClearButton:
      ClearCommand();
      return 0;
    case kPauseButton:
      PauseCommand();
      return 0;
    case kSaveButton:
      SaveCommand();
      return 0;
    case kExitButton:
      return SendMainWindowMessage(kMsgClose, 0, 0);
    case kHelpButton:
      OpenHelp();
      return 0;
    default:
      // Escape (2), the check box, which toggles itself, and everything else.
      return 0;
  }
}

}  // namespace

std::intptr_t MainWindowProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  switch (message) {
    case kMsgDestroy:
      PostQuit(0);
      return 0;
    case kMsgSetFocus:
      SetControlFocus(kSearchForEdit);
      return 0;
    case kMsgClose:
      CloseCommand();
      return 0;
    case kMsgCommand: {
      int id = static_cast<int>(wParam & 0xFFFFu);
      std::uint32_t notification = static_cast<std::uint32_t>((wParam >> 16) & 0xFFFFu);
      if (notification == kNotifyClicked) return RunCommand(id);
      if (notification == kNotifyDoubleClicked && id == kResultListBox) OpenSelectedResult();
      return DefaultWindowProc(message, wParam, lParam);
    }
    case kMsgSysCommand:
      if (wParam == static_cast<std::uintptr_t>(kAboutItem)) {
        ShowAbout();
        return 0;
      }
      if (wParam <= 0xFFFFu && RunSwitchCommand(static_cast<int>(wParam))) return 0;
      return DefaultWindowProc(message, wParam, lParam);
    default:
      return DefaultWindowProc(message, wParam, lParam);
  }
}
