#include "support/headless_controls.h"

#include <mutex>
#include <string>

#include "platform/character_cut.h"

namespace {

// What `read` gives of a control, or `none` for a control that was never made.
template <typename T, typename Read>
T ReadControl(int id, T none, Read read) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  const HeadlessControl* control = HeadlessFindControl(id);
  return control != nullptr ? read(*control) : none;
}

// What `read` gives of the window record.
template <typename Read>
auto ReadWindow(Read read) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  return read(HeadlessRecord);
}

// Whether a click or a key reaches the control: only an enabled one takes it.
bool Takes(int id) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  return HeadlessUseControl(id).Enabled;
}

void SendCommand(int id, std::uint32_t notification) {
  SendMainWindowMessage(kMsgCommand, MakeCommand(id, notification), 0);
}

}  // namespace

void HeadlessCreateSearchControls() {
  CreateMainWindow("", 0, 0, 0, 0, nullptr);
  CreateControl({ControlKind::Label, "Ready", kStatusLine, 0, 0, 0, 0});
}

std::vector<RecordedMessageBox> HeadlessMessageBoxes() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.Boxes; });
}

std::vector<std::string> HeadlessListLines(int id) {
  return ReadControl(id, std::vector<std::string>{},
                     [](const HeadlessControl& control) { return control.Lines; });
}

std::string HeadlessControlText(int id) {
  return ReadControl(id, std::string{},
                     [](const HeadlessControl& control) { return control.Text; });
}

bool HeadlessIsEnabled(int id) {
  return ReadControl(id, false, [](const HeadlessControl& control) { return control.Enabled; });
}

int HeadlessFocus() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.Focus; });
}

int HeadlessHorizontalExtent(int id) {
  return ReadControl(id, 0, [](const HeadlessControl& control) { return control.Extent; });
}

std::vector<int> HeadlessTabStops(int id) {
  return ReadControl(id, std::vector<int>{},
                     [](const HeadlessControl& control) { return control.TabStops; });
}

int HeadlessTypingLimit(int id) {
  return ReadControl(id, 0, [](const HeadlessControl& control) { return control.Limit; });
}

void HeadlessSelectLine(int id, int index) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessControl& control = HeadlessUseControl(id);
  bool valid = index >= 0 && static_cast<std::size_t>(index) < control.Lines.size();
  control.Selection = valid ? index : -1;
}

std::string HeadlessWindowTitle() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.Title; });
}

bool HeadlessWindowShown() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.Shown; });
}

std::vector<int> HeadlessControlIds() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.CreationOrder; });
}

bool HeadlessControlRow(int id, ControlRow* row) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  const HeadlessControl* control = HeadlessFindControl(id);
  if (control == nullptr) return false;
  if (row != nullptr) *row = control->Row;
  return true;
}

std::vector<std::pair<std::string, int>> HeadlessSystemMenuItems() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.SystemMenu; });
}

int HeadlessSystemMenuCheck(int id) {
  return ReadWindow([id](const HeadlessWindowRecord& window) {
    auto item = window.MenuChecks.find(id);
    return item == window.MenuChecks.end() ? -1 : item->second ? 1 : 0;
  });
}

void HeadlessTypeText(int id, const std::string& text) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessControl& control = HeadlessUseControl(id);
  if (!control.Enabled) return;
  // The limit counts characters, as the real fields do.
  std::size_t typed = CountCharacters(control.Text.data(), control.Text.size());
  for (std::size_t at = 0; at < text.size(); ++typed) {
    if (control.Limit > 0 && typed >= static_cast<std::size_t>(control.Limit)) break;
    const std::size_t length = CharacterLength(text.data() + at, text.size() - at);
    control.Text.append(text, at, length);
    at += length;
  }
}

void HeadlessClick(int id) {
  {
    std::lock_guard<std::mutex> lock(HeadlessRecordLock);
    HeadlessControl& control = HeadlessUseControl(id);
    if (!control.Enabled) return;
    if (control.Row.Kind == ControlKind::CheckBox) control.Check = control.Check == 0 ? 1 : 0;
  }
  SendCommand(id, kNotifyClicked);
}

void HeadlessDoubleClick(int id) {
  if (Takes(id)) SendCommand(id, kNotifyDoubleClicked);
}

void HeadlessPressEnter() { SendCommand(kGoButton, kNotifyClicked); }

void HeadlessPressEscape() { SendCommand(kCancelCommand, kNotifyClicked); }

void HeadlessChooseSystemMenuItem(int id) {
  SendMainWindowMessage(kMsgSysCommand, static_cast<std::uintptr_t>(id), 0);
}

void HeadlessCloseWindow() { SendMainWindowMessage(kMsgClose, 0, 0); }

void HeadlessScriptDialog(bool ok, const std::string& path) {
  std::lock_guard<std::mutex> lock(HeadlessRecordLock);
  HeadlessRecord.Answers.push_back(HeadlessDialogAnswer{ok, path});
}

std::vector<RecordedDialog> HeadlessDialogs() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.Dialogs; });
}

std::vector<std::string> HeadlessOpenedFiles() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.OpenedFiles; });
}

int HeadlessHelpOpenings() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.HelpOpenings; });
}

bool HeadlessWindowDestroyed() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.Destroyed; });
}

int HeadlessQuitCode() {
  return ReadWindow([](const HeadlessWindowRecord& window) { return window.QuitCode; });
}
