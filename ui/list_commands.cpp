#include "ui/list_commands.h"

#include <cstdint>

#include "engine/search_state.h"
#include "platform/window.h"
#include "ui/button_rule.h"
#include "ui/status_line.h"
#include "ui/window_search.h"

void DeleteCommand() {
  // Del is disabled during a search; the worker alone changes the list then.
  if (WindowSearchState().SearchRunning != 0) return;
  int index = ListBoxGetSelection(kResultListBox);
  if (index < 0) return;
  ListBoxDeleteLine(kResultListBox, index);
  // A line beyond the list's entries (the list was full) has no entry to remove.
  if (static_cast<std::uint32_t>(index) < WindowSearchState().ResultList.Count) {
    WindowSearchState().ResultList.RemoveAt(static_cast<std::uint32_t>(index));
  }
  ShowCompletionStatus(kDeletedLine, WindowSearchResults());
  RefreshButtons();
  SetControlFocus(kResultListBox);
}

void ClearCommand() {
  if (WindowSearchState().SearchRunning != 0) return;
  ListBoxReset(kResultListBox);
  WindowSearchState().ResultList.Clear();
  WindowSearchState().UnopenedFiles.Clear();
  RefreshButtons();
  ShowPaddedStatus("Ready", kReadyBlanks);
  SetControlFocus(kSearchForEdit);
}

void OpenSelectedResult() {
  int index = ListBoxGetSelection(kResultListBox);
  if (index < 0 || static_cast<std::uint32_t>(index) >= WindowSearchState().ResultList.Count)
    return;
  // The worker only appends, so an existing entry stays put while a search runs.
  const char* path = WindowSearchState().ResultList.Get(static_cast<std::uint32_t>(index));
  if (path != nullptr) OpenWithDefaultApplication(path);
}
