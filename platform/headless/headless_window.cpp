// The window services in memory. Everything lives behind one mutex because the search
// worker calls the control operations while the test or tessik-cli thread inspects them.
// The window procedure and the sinks are always called with the mutex released: a
// procedure calls back into these services.
#include "platform/headless/headless_window.h"

#include <cstring>
#include <deque>
#include <map>
#include <mutex>

#include "platform/thread.h"

namespace {

struct Control {
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

struct DialogAnswer {
  bool Ok;
  std::string Path;
};

struct Window {
  bool Created = false;
  bool Shown = false;
  bool Destroyed = false;
  std::string Title;
  WindowProcedure Proc = nullptr;
  std::map<int, Control> Controls;
  std::vector<int> CreationOrder;
  std::vector<std::pair<std::string, int>> SystemMenu;
  int Focus = 0;
  std::vector<RecordedMessageBox> Boxes;
  std::deque<DialogAnswer> Answers;
  std::vector<RecordedDialog> Dialogs;
  std::vector<std::string> OpenedFiles;
  int HelpOpenings = 0;
  int QuitCode = -1;
};

std::mutex windowMutex;
Window window;
LineSink lineSink = nullptr;
MessageSink messageSink = nullptr;

// The kind a control would have in the main window, for controls used before (or
// without) being created from a table row.
ControlKind KindForId(int id) {
  switch (id) {
    case kGoButton:
      return ControlKind::DefaultButton;
    case kSearchInEdit:
    case kSearchForEdit:
      return ControlKind::Edit;
    case kIncludeSubdirsCheck:
      return ControlKind::CheckBox;
    case kResultListBox:
      return ControlKind::ListBox;
    case kSearchInLabel:
    case kSearchForLabel:
    case kColumnHeading:
    case kStatusLine:
      return ControlKind::Label;
    default:
      return ControlKind::PushButton;
  }
}

// Caller holds windowMutex.
Control& Use(int id) {
  auto found = window.Controls.find(id);
  if (found != window.Controls.end()) return found->second;
  Control& made = window.Controls[id];
  made.Row.Kind = KindForId(id);
  made.Row.Id = id;
  window.CreationOrder.push_back(id);
  return made;
}

// Caller holds windowMutex; nullptr when the control was never made.
const Control* Find(int id) {
  auto found = window.Controls.find(id);
  return found == window.Controls.end() ? nullptr : &found->second;
}

// A call from the worker waits here while the search is paused and is dropped once a
// stop is requested, so that the worker never holds up Stop.
bool WorkerMayGoOn() { return !OnWorkerThread() || WorkerCheckpoint() == 0; }

int CopyText(const std::string& text, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  std::size_t length = text.size();
  if (length > static_cast<std::size_t>(size - 1)) length = static_cast<std::size_t>(size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

int RunDialog(bool save, const FileFilter* filters, int filterCount, int selected, char* path,
              int size) {
  RecordedDialog record{save, {}, selected};
  for (int i = 0; filters != nullptr && i < filterCount; ++i) {
    record.Filters.emplace_back(filters[i].Description ? filters[i].Description : "",
                                filters[i].Pattern ? filters[i].Pattern : "");
  }
  std::lock_guard<std::mutex> lock(windowMutex);
  window.Dialogs.push_back(std::move(record));
  if (window.Answers.empty()) return 0;  // nobody there to choose: a cancel
  DialogAnswer answer = std::move(window.Answers.front());
  window.Answers.pop_front();
  if (!answer.Ok || path == nullptr || size <= 0) return 0;
  // A path that does not fit the caller's buffer fails rather than being cut.
  if (answer.Path.size() > static_cast<std::size_t>(size - 1)) return 0;
  CopyText(answer.Path, path, size);
  return 1;
}

}  // namespace

// --- the main window ---

int CreateMainWindow(const char* title, int, int, int, int, WindowProcedure proc) {
  std::lock_guard<std::mutex> lock(windowMutex);
  window.Created = true;
  window.Destroyed = false;
  window.Title = title ? title : "";
  window.Proc = proc;
  return 1;
}

int CreateControl(const ControlRow& row) {
  std::lock_guard<std::mutex> lock(windowMutex);
  Control& control = Use(row.Id);
  control.Row = row;
  control.Row.Text = nullptr;
  control.Text = row.Text ? row.Text : "";
  return 1;
}

void AddSystemMenuItem(const char* text, int id) {
  std::lock_guard<std::mutex> lock(windowMutex);
  window.SystemMenu.emplace_back(text ? text : "", id);
}

void ShowMainWindow() {
  std::lock_guard<std::mutex> lock(windowMutex);
  window.Shown = true;
}

int RunMessageLoop() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.QuitCode;
}

void PostQuit(int exitCode) {
  std::lock_guard<std::mutex> lock(windowMutex);
  window.QuitCode = exitCode;
}

void DestroyMainWindow() {
  WindowProcedure proc;
  {
    std::lock_guard<std::mutex> lock(windowMutex);
    if (window.Destroyed) return;
    window.Destroyed = true;
    window.Shown = false;
    proc = window.Proc;
  }
  if (proc != nullptr) proc(kMsgDestroy, 0, 0);
}

std::intptr_t SendMainWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
  WindowProcedure proc;
  {
    std::lock_guard<std::mutex> lock(windowMutex);
    if (window.Destroyed) return 0;
    proc = window.Proc;
  }
  return proc != nullptr ? proc(message, wParam, lParam) : 0;
}

std::intptr_t DefaultWindowProc(std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }

// --- controls ---

int GetControlText(int id, char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (!WorkerMayGoOn()) return 0;
  std::lock_guard<std::mutex> lock(windowMutex);
  return CopyText(Use(id).Text, buffer, size);
}

void SetControlText(int id, const char* text) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(windowMutex);
  Use(id).Text = text ? text : "";
}

void EnableControl(int id, bool enabled) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(windowMutex);
  Use(id).Enabled = enabled;
}

void SetControlFocus(int id) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(windowMutex);
  Use(id);
  window.Focus = id;
}

int GetCheckState(int id) {
  if (!WorkerMayGoOn()) return 0;
  std::lock_guard<std::mutex> lock(windowMutex);
  return Use(id).Check;
}

void SetTypingLimit(int id, int limit) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(windowMutex);
  Use(id).Limit = limit > 0 ? limit : 0;
}

int ListBoxAddLine(int id, const char* text) {
  if (!WorkerMayGoOn()) return -1;
  const char* line = text ? text : "";
  int index;
  LineSink sink;
  {
    std::lock_guard<std::mutex> lock(windowMutex);
    Control& control = Use(id);
    control.Lines.emplace_back(line);
    index = static_cast<int>(control.Lines.size()) - 1;
    sink = lineSink;
  }
  if (sink != nullptr) sink(line);
  return index;
}

int ListBoxCount(int id) {
  if (!WorkerMayGoOn()) return 0;
  std::lock_guard<std::mutex> lock(windowMutex);
  return static_cast<int>(Use(id).Lines.size());
}

int ListBoxGetText(int id, int index, char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  if (!WorkerMayGoOn()) return -1;
  std::lock_guard<std::mutex> lock(windowMutex);
  const Control& control = Use(id);
  if (index < 0 || static_cast<std::size_t>(index) >= control.Lines.size()) return -1;
  const std::string& line = control.Lines[static_cast<std::size_t>(index)];
  CopyText(line, buffer, size);
  return static_cast<int>(line.size());
}

int ListBoxGetSelection(int id) {
  if (!WorkerMayGoOn()) return -1;
  std::lock_guard<std::mutex> lock(windowMutex);
  return Use(id).Selection;
}

void ListBoxDeleteLine(int id, int index) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(windowMutex);
  Control& control = Use(id);
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
  std::lock_guard<std::mutex> lock(windowMutex);
  Control& control = Use(id);
  control.Lines.clear();
  control.Selection = -1;
}

void ListBoxSetHorizontalExtent(int id, int pixels) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(windowMutex);
  Use(id).Extent = pixels;
}

void ListBoxSetTabStops(int id, const int* stops, int count) {
  if (!WorkerMayGoOn()) return;
  std::lock_guard<std::mutex> lock(windowMutex);
  Control& control = Use(id);
  control.TabStops.clear();
  if (stops != nullptr && count > 0) control.TabStops.assign(stops, stops + count);
}

void ShowMessageBox(const char* title, const char* text, MessageIcon icon) {
  if (!WorkerMayGoOn()) return;
  RecordedMessageBox box{title ? title : "", text ? text : "", icon};
  MessageSink sink;
  {
    std::lock_guard<std::mutex> lock(windowMutex);
    window.Boxes.push_back(box);
    sink = messageSink;
  }
  if (sink != nullptr) sink(box);
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
  std::lock_guard<std::mutex> lock(windowMutex);
  window.OpenedFiles.emplace_back(path ? path : "");
}

void OpenHelp() {
  std::lock_guard<std::mutex> lock(windowMutex);
  ++window.HelpOpenings;
}

// --- set-up, inspection and scripting ---

void HeadlessReset() {
  std::lock_guard<std::mutex> lock(windowMutex);
  window = Window{};
}

void HeadlessCreateSearchControls() {
  // The layout belongs to the program's window; here every other control comes into
  // being, with the kind its identifier has, the first time it is used.
  CreateMainWindow(" Tessik", 80, 25, 500, 425, nullptr);
  CreateControl({ControlKind::Label, "Ready", kStatusLine, 20, 120, 440, 18});
}

void HeadlessSetLineSink(LineSink sink) {
  std::lock_guard<std::mutex> lock(windowMutex);
  lineSink = sink;
}

void HeadlessSetMessageSink(MessageSink sink) {
  std::lock_guard<std::mutex> lock(windowMutex);
  messageSink = sink;
}

std::vector<RecordedMessageBox> HeadlessMessageBoxes() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.Boxes;
}

std::vector<std::string> HeadlessListLines(int id) {
  std::lock_guard<std::mutex> lock(windowMutex);
  const Control* control = Find(id);
  return control ? control->Lines : std::vector<std::string>{};
}

std::string HeadlessControlText(int id) {
  std::lock_guard<std::mutex> lock(windowMutex);
  const Control* control = Find(id);
  return control ? control->Text : std::string{};
}

bool HeadlessIsEnabled(int id) {
  std::lock_guard<std::mutex> lock(windowMutex);
  const Control* control = Find(id);
  return control ? control->Enabled : false;
}

bool HeadlessControlExists(int id) {
  std::lock_guard<std::mutex> lock(windowMutex);
  return Find(id) != nullptr;
}

int HeadlessFocus() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.Focus;
}

int HeadlessHorizontalExtent(int id) {
  std::lock_guard<std::mutex> lock(windowMutex);
  const Control* control = Find(id);
  return control ? control->Extent : 0;
}

std::vector<int> HeadlessTabStops(int id) {
  std::lock_guard<std::mutex> lock(windowMutex);
  const Control* control = Find(id);
  return control ? control->TabStops : std::vector<int>{};
}

int HeadlessTypingLimit(int id) {
  std::lock_guard<std::mutex> lock(windowMutex);
  const Control* control = Find(id);
  return control ? control->Limit : 0;
}

void HeadlessSetCheck(int id, int state) {
  std::lock_guard<std::mutex> lock(windowMutex);
  Use(id).Check = state;
}

void HeadlessSelectLine(int id, int index) {
  std::lock_guard<std::mutex> lock(windowMutex);
  Control& control = Use(id);
  bool valid = index >= 0 && static_cast<std::size_t>(index) < control.Lines.size();
  control.Selection = valid ? index : -1;
}

std::string HeadlessWindowTitle() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.Title;
}

bool HeadlessWindowShown() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.Shown;
}

std::vector<int> HeadlessControlIds() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.CreationOrder;
}

bool HeadlessControlRow(int id, ControlRow* row) {
  std::lock_guard<std::mutex> lock(windowMutex);
  const Control* control = Find(id);
  if (control == nullptr) return false;
  if (row != nullptr) *row = control->Row;
  return true;
}

std::vector<std::pair<std::string, int>> HeadlessSystemMenuItems() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.SystemMenu;
}

void HeadlessTypeText(int id, const std::string& text) {
  std::lock_guard<std::mutex> lock(windowMutex);
  Control& control = Use(id);
  if (!control.Enabled) return;
  for (char c : text) {
    if (control.Limit > 0 && control.Text.size() >= static_cast<std::size_t>(control.Limit)) {
      break;
    }
    control.Text.push_back(c);
  }
}

void HeadlessClick(int id) {
  {
    std::lock_guard<std::mutex> lock(windowMutex);
    Control& control = Use(id);
    if (!control.Enabled) return;
    if (control.Row.Kind == ControlKind::CheckBox) control.Check = control.Check == 0 ? 1 : 0;
  }
  SendMainWindowMessage(kMsgCommand, MakeCommand(id, kNotifyClicked), 0);
}

void HeadlessDoubleClick(int id) {
  {
    std::lock_guard<std::mutex> lock(windowMutex);
    if (!Use(id).Enabled) return;
  }
  SendMainWindowMessage(kMsgCommand, MakeCommand(id, kNotifyDoubleClicked), 0);
}

void HeadlessPressEnter() { SendMainWindowMessage(kMsgCommand, MakeCommand(1, kNotifyClicked), 0); }

void HeadlessPressEscape() {
  SendMainWindowMessage(kMsgCommand, MakeCommand(2, kNotifyClicked), 0);
}

void HeadlessChooseSystemMenuItem(int id) {
  SendMainWindowMessage(kMsgSysCommand, static_cast<std::uintptr_t>(id), 0);
}

void HeadlessCloseWindow() { SendMainWindowMessage(kMsgClose, 0, 0); }

void HeadlessScriptDialog(bool ok, const std::string& path) {
  std::lock_guard<std::mutex> lock(windowMutex);
  window.Answers.push_back(DialogAnswer{ok, path});
}

std::vector<RecordedDialog> HeadlessDialogs() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.Dialogs;
}

std::vector<std::string> HeadlessOpenedFiles() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.OpenedFiles;
}

int HeadlessHelpOpenings() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.HelpOpenings;
}

bool HeadlessWindowDestroyed() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.Destroyed;
}

int HeadlessQuitCode() {
  std::lock_guard<std::mutex> lock(windowMutex);
  return window.QuitCode;
}
