#include "ui/search_commands.h"

#include <cstring>

#include "engine/search_state.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "query/term_codes.h"
#include "ui/button_rule.h"
#include "ui/status_line.h"
#include "ui/window_search.h"

namespace {

// A worker that ended by itself may still be on its way out, in the button calls of its
// cleanup. The stop request makes those calls return at once, so the join never waits
// for a call that only this (window) thread could carry out.
void JoinFinishedWorker() {
  if (!WorkerExists()) return;
  RequestStop();
  JoinWorker();
}

// Lets a paused worker go on, asks the worker to end and waits for it, then clears the
// running flag. True when the worker was cut short and left the cleanup to this thread;
// false when it had finished its search by itself just before (its completion text and
// cleanup have run: the cleanup is what clears the flag on the worker).
bool EndWorker() {
  if (WindowSearchState().SearchPaused != 0) {
    SendMainWindowMessage(kMsgCommand, MakeCommand(kPauseButton, kNotifyClicked), 0);
  }
  RequestStop();
  JoinWorker();
  return WindowSearchState().SearchRunning.exchange(0) != 0;
}

// The counters that the stop summary and a later log show.
// An expression search, or a search stopped before its first term: every file still in
// the FileSet counts as searched.
// A single-word search removes each file from the FileSet once it is finished, so the
// FileSet holds the files not finished, the interrupted one last. FilesSearched and
// MatchedFiles count only finished files, but the interrupted file may already have
// lines in the list (a file with hits that was read to its end is counted and removed
// by the pass itself, stop or not). So that the counts agree with the lines shown, an
// interrupted file whose lines stand at the end of the list counts as searched and as a
// file with hits; one without lines is not counted at all.
void SetCountersAfterStop() {
  if (!IsSingleWordSearch(WindowSearchState().LastTermType)) {
    WindowSearchState().FilesSearched =
        static_cast<std::int32_t>(WindowSearchState().FileSet.Count.load());
    return;
  }
  std::uint32_t files = WindowSearchState().FileSet.Count;
  std::uint32_t results = WindowSearchState().ResultList.Count;
  if (files == 0 || results == 0) return;
  const char* interrupted = WindowSearchState().FileSet.Get(files - 1);
  const char* lastResult = WindowSearchState().ResultList.Get(results - 1);
  if (interrupted == nullptr || lastResult == nullptr) return;
  if (std::strcmp(interrupted, lastResult) != 0) return;
  WindowSearchState().FilesSearched += 1;
  WindowSearchState().MatchedFiles += 1;
}

}  // namespace

void GoCommand() {
  JoinFinishedWorker();
  WindowSearchState().ResultList.Clear();
  ListBoxReset(kResultListBox);
  RefreshButtons();
  EnableControl(kPauseButton, true);
  WindowSearchState().SearchPaused = 0;
  // Both before the worker starts: a worker that ends at once clears the flag and
  // restores "&Go" in its cleanup, which must not be overwritten afterwards.
  WindowSearchState().SearchRunning = 1;
  SetControlText(kGoButton, "Stop");
  // Read here, while no worker runs; the worker is handed its own copy, and a log saved
  // during the search shows the window's.
  const SearchRequest request = ReadWindowRequest();
  if (StartWorker([request] { return RunWindowSearch(request); }) != 0) {
    // No thread: there is no search to wait for, so the window goes back to idle.
    ResetSearchState(WindowSearchState());
    RefreshButtons();
  }
}

void StopCommand() {
  if (EndWorker()) {
    SetCountersAfterStop();
    ShowCompletionStatus(kStoppedSearch);
    ResetSearchState(WindowSearchState());
    RefreshButtons();
  } else {
    // The stop may have cut off the button calls of the worker's cleanup.
    WindowSearchState().SearchPaused = 0;
    RefreshButtons();
  }
  SetControlFocus(kResultListBox);
}

// The paused flag is set before the worker is let go or held: a worker that ends at
// once clears it in its cleanup, which must not be undone afterwards.
void PauseCommand() {
  if (WindowSearchState().SearchPaused != 0 || WindowSearchState().SearchRunning == 0) {
    // Resume. Also when the search has ended by itself as it was paused: its cleanup
    // cleared the flag, and its last button calls may be held by the pause.
    WindowSearchState().SearchPaused = 0;
    SetControlText(kPauseButton, "&Pause");
    RequestResume();
    return;
  }
  WindowSearchState().SearchPaused = 1;
  SetControlText(kPauseButton, "&Resume");
  RequestPause();
  if (WindowSearchState().SearchRunning == 0) {
    // The search ended by itself meanwhile: there is nothing left to hold.
    WindowSearchState().SearchPaused = 0;
    SetControlText(kPauseButton, "&Pause");
    RequestResume();
  }
}

void CloseCommand() {
  if (WindowSearchState().SearchRunning != 0) {
    EndWorker();
  } else {
    JoinFinishedWorker();
  }
  ResetSearchState(WindowSearchState());
  RefreshButtons();
  DestroyMainWindow();
}
