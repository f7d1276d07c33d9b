// The window services in memory. The record lives behind one lock because the search
// worker calls the control operations while the test thread inspects them.
// The window procedure and the line sink are always called with the lock released: a
// procedure calls back into these services.
#include "platform/headless/headless_window.h"

#include <cstring>

#include "platform/character_cut.h"
#include "platform/headless/headless_record.h"
#include "platform/thread.h"

namespace {

LineSink lineSink = nullptr;

// A call from the worker waits here while the search is paused and is dropped once a
// stop is requested, so that the worker never holds up Stop.
bool WorkerMayGoOn() { return WorkerCheckpoint() == 0; }

// What does not fit is left out whole characters at a time.
int CopyText(const std::string& text, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  const std::size_t length =
      WholeCharactersWithin(text.data(), text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

int RunDialog(bool save, const FileFilter* filters, int filterCount, int selected, char* path,
              int size) {
  HeadlessRecordedDialog record{save, {}, selected};
  for (int i = 0; filters != nullptr && i < filterCount; ++i) {
    record.Filters.emplace_back(filters[i].Description ? filters[i].Description : "",
                                filters[i].Pattern ? filters[i].Pattern : "");
  }
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.Dialogs.push_back(std::move(record));
  if (HeadlessRecord.Answers.empty()) return -1;  // nobody there to choose: a cancel
  HeadlessDialogAnswer answer = std::move(HeadlessRecord.Answers.front());
  HeadlessRecord.Answers.pop_front();
  if (!answer.Ok || path == nullptr || size <= 0) return -1;
  // A path that does not fit the caller's buffer fails rather than being cut.
  if (answer.Path.size() > static_cast<std::size_t>(size - 1)) return -1;
  CopyText(answer.Path, path, size);
  return 0;
}

}  // namespace

std::mutex HeadlessRecordLock;
HeadlessWindowRecord HeadlessRecord;

HeadlessControl& HeadlessUseControl(int id) {
  auto found = HeadlessRecord.Controls.find(id);
  if (found != HeadlessRecord.Controls.end()) return found->second;
  HeadlessControl& made = HeadlessRecord.Controls[id];
  made.Row.Id = id;
  HeadlessRecord.CreationOrder.push_back(id);
  return made;
}

const HeadlessControl* HeadlessFindControl(int id) {
  auto found = HeadlessRecord.Controls.find(id);
  return found == HeadlessRecord.Controls.end() ? nullptr : &found->second;
}

// --- the main window ---

int CreateMainWindow(const char* title, int, int, int, int, WindowProcedure proc) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.Created = true;
  HeadlessRecord.Destroyed = false;
  HeadlessRecord.Title = title ? title : "";
  HeadlessRecord.Proc = proc;
  return 0;
}

void SetMainWindowTitle(const char* title) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.Title = title ? title : "";
}

int CreateControl(const ControlRow& row) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessControl& control = HeadlessUseControl(row.Id);
  control.Row = row;
  control.Row.Text = nullptr;
  control.Text = row.Text ? row.Text : "";
  return 0;
}

void AddSystemMenuItem(const char* text, int id) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.SystemMenu.emplace_back(text ? text : "", id);
}

void AddSystemMenuCheckItem(const char* text, int id, bool checked) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.SystemMenu.emplace_back(text ? text : "", id);
  HeadlessRecord.MenuChecks[id] = checked;
}

void CheckSystemMenuItem(int id, bool checked) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  auto item = HeadlessRecord.MenuChecks.find(id);
  if (item != HeadlessRecord.MenuChecks.end()) item->second = checked;
}

void ShowMainWindow() {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.Shown = true;
}

int RunMessageLoop() {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  return HeadlessRecord.QuitCode;
}

void PostQuit(int exitCode) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.QuitCode = exitCode;
}

void DestroyMainWindow() {
  WindowProcedure proc;
  {
    std::lock_guard<std::mutex> lock(HeadlessRecordLock);
    if (HeadlessRecord.Destroyed) return;
    HeadlessRecord.Destroyed = true;
    HeadlessRecord.Shown = false;
    proc = HeadlessRecord.Proc;
  }
  if (proc != nullptr) proc(kMsgDestroy, 0, 0);
}

std::intptr_t SendMainWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
  WindowProcedure proc;
  {
    std::lock_guard<std::mutex> lock(HeadlessRecordLock);
    if (HeadlessRecord.Destroyed) return 0;
    proc = HeadlessRecord.Proc;
  }
  return proc != nullptr ? proc(message, wParam, lParam) : 0;
}

std::intptr_t DefaultWindowProc(std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }

// --- controls ---

int GetControlText(int id, char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (!WorkerMayGoOn()) return 0;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  return CopyText(HeadlessUseControl(id).Text, buffer, size);
}

void SetControlText(int id, const char* text) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessUseControl(id).Text = text ? text : "";
}

void EnableControl(int id, bool enabled) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessUseControl(id).Enabled = enabled;
}

void SetControlFocus(int id) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessUseControl(id);
  HeadlessRecord.Focus = id;
}

int GetCheckState(int id) {
  if (!WorkerMayGoOn()) return 0;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  return HeadlessUseControl(id).Check;
}

void SetTypingLimit(int id, int limit) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessUseControl(id).Limit = limit > 0 ? limit : 0;
}

int ListBoxAddLine(int id, const char* text) {
  if (!WorkerMayGoOn()) return -1;
  const char* line = text ? text : "";
  int index;
  LineSink sink;
  {
    std::lock_guard<std::mutex> lock(HeadlessRecordLock);
    HeadlessControl& control = HeadlessUseControl(id);
    control.Lines.emplace_back(line);
    index = static_cast<int>(control.Lines.size()) - 1;
    sink = lineSink;
  }
  if (sink != nullptr) sink(line);
  return index;
}

int ListBoxCount(int id) {
  if (!WorkerMayGoOn()) return 0;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  return static_cast<int>(HeadlessUseControl(id).Lines.size());
}

int ListBoxGetText(int id, int index, char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (!WorkerMayGoOn()) return -1;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  const std::vector<std::string>& lines = HeadlessUseControl(id).Lines;
  if (index < 0 || static_cast<std::size_t>(index) >= lines.size()) return -1;
  const std::string& text = lines[static_cast<std::size_t>(index)];
  CopyText(text, buffer, size);
  return static_cast<int>(text.size());
}

int ListBoxGetSelection(int id) {
  if (!WorkerMayGoOn()) return -1;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  return HeadlessUseControl(id).Selection;
}

void ListBoxDeleteLine(int id, int index) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessControl& control = HeadlessUseControl(id);
  if (index < 0 || static_cast<std::size_t>(index) >= control.Lines.size()) return;
  control.Lines.erase(control.Lines.begin() + index);
  // As in a real list box the selection stays with its line, and goes with it.
  if (control.Selection == index) {
    control.Selection = -1;
  } else if (control.Selection > index) {
    --control.Selection;
  }
}

void ListBoxReset(int id) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessControl& control = HeadlessUseControl(id);
  control.Lines.clear();
  control.Selection = -1;
}

void ListBoxSetHorizontalExtent(int id, int pixels) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessUseControl(id).Extent = pixels;
}

void ListBoxSetTabStops(int id, const int* stops, int count) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessControl& control = HeadlessUseControl(id);
  control.TabStops.clear();
  if (stops != nullptr && count > 0) control.TabStops.assign(stops, stops + count);
}

void ShowMessageBox(const char* title, const char* text, MessageIcon icon) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.Boxes.push_back({title ? title : "", text ? text : "", icon});
}

// --- dialogs and the desktop ---

int ShowOpenDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size) {
  return RunDialog(false, filters, filterCount, selected, path, size);
}

int ShowSaveDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size) {
  return RunDialog(true, filters, filterCount, selected, path, size);
}

// The headless dialogs answer from their script and have no folder to open in.
void RememberDialogFolder(const char*) {}

void OpenWithDefaultApplication(const char* path) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.OpenedFiles.emplace_back(path ? path : "");
}

void OpenHelp() {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  ++HeadlessRecord.HelpOpenings;
}

// --- the front end's calls ---

void HeadlessReset() {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord = HeadlessWindowRecord{};
}

void HeadlessSetLineSink(LineSink sink) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  lineSink = sink;
}

void HeadlessSetCheck(int id, int state) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessUseControl(id).Check = state;
}
