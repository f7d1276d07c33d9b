// The main window on the headless backend, started as the program starts it, and the
// means to drive a search from the test thread (which plays the window thread).
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "platform/thread.h"
#include "platform/thread_testing.h"
#include "platform/window.h"
#include "support/headless_controls.h"
#include "support/test_support.h"
#include "ui/main_window_layout.h"
#include "ui/search_activity.h"
#include "ui/window_search.h"

namespace ui_test {

// A line sink that can hold the worker once it has added a given line, until the test
// lets it go or a stop is requested (as a real window would, it never holds up Stop).
inline std::atomic<int> linesSeen{0};
inline std::atomic<int> holdAtLine{0};  // 0: never hold
inline std::atomic<int> released{0};

inline void HoldingSink(const char*) {
  int seen = linesSeen.fetch_add(1) + 1;
  if (seen == holdAtLine.load()) WorkerWaitUntil(released);
}

// Lets a worker held by the sink go on.
inline void ReleaseSink() {
  released = 1;
  NotifyWorker();
}

// Polls until `condition` holds; false after `timeoutMs`. Only for what must happen: the
// bound turns a hang into a failure and never decides a result.
template <typename Condition>
bool WaitFor(Condition condition, int timeoutMs = 30000) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return true;
}

// Lets the worker held at a checkpoint go, and waits until it has left the checkpoint, so
// that a hold asked for afterwards stops it at a later one.
inline bool LetHeldWorkerGo() {
  ReleaseHeldWorker();
  return WaitFor([] { return !WorkerIsHeld(); });
}

inline std::string Status() { return HeadlessControlText(kStatusLine); }

// The status text without its padding.
inline std::string StatusWords() {
  std::string text = Status();
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

inline int Lines() { return static_cast<int>(HeadlessListLines(kResultListBox).size()); }

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessReset();
    linesSeen = 0;
    holdAtLine = 0;
    released = 0;
    HeadlessSetLineSink(HoldingSink);
    ClearSearchLists(WindowSearchState());
    WindowSearchState().LastTermType = 0;
    WindowSearchState().FilesSearched = 0;
    WindowSearchState().MatchedFiles = 0;
    InitialisePhonetics();
    ASSERT_EQ(SetUpMainWindow(), 0);
  }

  void TearDown() override {
    RequestStop();
    JoinWorker();
    ReleaseHeldWorker();  // a hold asked for that no worker came to
    // The search just stopped had no Stop of the window's: the window goes back to idle.
    ResetSearchState(WindowSearchState());
    SetWindowSearchActivity(SearchActivity::Idle);
    ClearSearchLists(WindowSearchState());
    HeadlessSetLineSink(nullptr);
  }

  // Fills the two edit fields as the program would (not cut by the typing limits).
  void SetInputs(const std::string& searchIn, const std::string& searchFor,
                 bool subdirectories = false) {
    SetControlText(kSearchInEdit, searchIn.c_str());
    SetControlText(kSearchForEdit, searchFor.c_str());
    HeadlessSetCheck(kIncludeSubdirsCheck, subdirectories ? 1 : 0);
  }

  // Waits for a search to end by itself and joins its worker.
  bool WaitForSearchEnd(int timeoutMs = 30000) {
    bool ended = WaitFor([] { return WindowSearchState().SearchRunning == 0; }, timeoutMs);
    if (ended) JoinWorker();
    return ended;
  }

  // Starts a search with Go and waits until the worker holds after line `line`.
  void StartAndHoldAt(int line) {
    holdAtLine = line;
    HeadlessClick(kGoButton);
    ASSERT_TRUE(WaitFor([line] { return linesSeen.load() >= line; }));
  }

  // Moves the worker held by the sink on to its next checkpoint and holds it there, before
  // it looks at the pause and stop requests.
  void HoldAtNextCheckpoint() {
    HoldWorkerAtNextCheckpoint();
    ReleaseSink();
    ASSERT_TRUE(WaitUntilWorkerHeld()) << "the search ended instead";
  }

  // `count` files a000.txt ... holding `content`, under `folder` of the tree.
  static void WriteFiles(const TempTree& tree, int count, const std::string& content,
                         const std::string& folder = "") {
    for (int i = 0; i < count; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "a%03d.txt", i);
      tree.WriteFile(folder + name, content);
    }
  }
};

}  // namespace ui_test
