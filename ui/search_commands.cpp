#include "ui/search_commands.h"

#include "engine/search_state.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "ui/button_rule.h"
#include "ui/search_activity.h"
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
  SetWindowSearchActivity(SearchActivity::Running);
  SetControlText(kGoButton, "Stop");
  // Read here, while no worker runs; the worker is handed its own copy, and a log saved
  // during the search shows the window's.
  const SearchRequest request = ReadWindowRequest();
  if (StartWorker([request] { return RunWindowSearch(request); }) != 0) {
    // No thread: there is no search to wait for, so the window goes back to idle.
    ResetSearchState(WindowSearchState());
    SetWindowSearchActivity(SearchActivity::Idle);
    RefreshButtons();
  }
}

void StopCommand() {
  if (EndWorker()) {
    // The engine ends the search the stop cut short; the window's sink shows that end.
    EndStoppedWindowSearch();
  } else {
    // The stop may have cut off the button calls of the worker's cleanup.
    WindowSearchState().SearchPaused = 0;
    RefreshButtons();
  }
  SetWindowSearchActivity(SearchActivity::Idle);
  SetControlFocus(kResultListBox);
}

// The paused flag is set before the worker is let go or held: a worker that ends at
// once clears it in its cleanup, which must not be undone afterwards.
void PauseCommand() {
  if (WindowSearchState().SearchPaused != 0 || WindowSearchState().SearchRunning == 0) {
    // Resume. Also when the search has ended by itself as it was paused: its cleanup
    // cleared the flag, and its last button calls may be held by the pause.
    WindowSearchState().SearchPaused = 0;
    ChangeWindowSearchActivity(SearchActivity::Paused, SearchActivity::Running);
    SetControlText(kPauseButton, "&Pause");
    RequestResume();
    return;
  }
  WindowSearchState().SearchPaused = 1;
  ChangeWindowSearchActivity(SearchActivity::Running, SearchActivity::Paused);
  SetControlText(kPauseButton, "&Resume");
  RequestPause();
  if (WindowSearchState().SearchRunning == 0) {
    // The search ended by itself meanwhile: there is nothing left to hold.
    WindowSearchState().SearchPaused = 0;
    ChangeWindowSearchActivity(SearchActivity::Paused, SearchActivity::Running);
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
  SetWindowSearchActivity(SearchActivity::Idle);
  RefreshButtons();
  DestroyMainWindow();
}
