#include "ui/main_window_proc.h"

#include "platform/window.h"
#include "ui/about.h"
#include "ui/file_commands.h"
#include "ui/list_commands.h"
#include "ui/search_activity.h"
#include "ui/search_commands.h"
#include "ui/window_switches.h"

namespace {

// A click (or Enter, or an Alt letter) on a control.
std::intptr_t RunCommand(int id) {
  switch (id) {
    case kGoButton:
      // A search is Idle only once its last window calls are done: a click between its
      // end and the "&Go" its cleanup restores is a Stop of it (which only waits for the
      // worker), not the start of a new one.
      if (WindowSearchActivity() != SearchActivity::Idle) {
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
