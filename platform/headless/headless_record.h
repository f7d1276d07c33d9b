// The record of the window in memory: what the headless window services keep, and what
// the test controls of tests/support read and script. Whoever touches the record holds
// HeadlessRecordLock; the window procedure and the sinks are called with it released,
// since they call back into the services. Any thread.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_window.h"
#include "platform/window.h"

struct HeadlessControl {
  ControlRow Row{};  // Text is never kept here
  std::string Text;
  bool Enabled = true;
  int Check = 0;
  int Limit = 0;  // 0: no typing limit
  int Extent = 0;
  std::vector<int> TabStops;
  std::vector<std::string> Lines;
  int Selection = -1;
};

struct HeadlessDialogAnswer {
  bool Ok;
  std::string Path;
};

struct HeadlessRecordedDialog {
  bool Save;
  std::vector<std::pair<std::string, std::string>> Filters;  // description, pattern
  int Selected;
};

struct HeadlessWindowRecord {
  bool Created = false;
  bool Shown = false;
  bool Destroyed = false;
  std::string Title;
  WindowProcedure Proc = nullptr;
  std::map<int, HeadlessControl> Controls;
  std::vector<int> CreationOrder;
  std::vector<std::pair<std::string, int>> SystemMenu;
  std::map<int, bool> MenuChecks;  // the check items of SystemMenu, by command
  int Focus = 0;
  std::vector<RecordedMessageBox> Boxes;
  std::deque<HeadlessDialogAnswer> Answers;
  std::vector<HeadlessRecordedDialog> Dialogs;
  std::vector<std::string> OpenedFiles;
  int HelpOpenings = 0;
  int QuitCode = -1;
};

extern std::mutex HeadlessRecordLock;
extern HeadlessWindowRecord HeadlessRecord;

// The control with identifier `id`, made on first use (as the engine's tests use
// controls without a window of the program's). Caller holds HeadlessRecordLock.
HeadlessControl& HeadlessUseControl(int id);
// The control, or nullptr when it was never made. Caller holds HeadlessRecordLock.
const HeadlessControl* HeadlessFindControl(int id);
