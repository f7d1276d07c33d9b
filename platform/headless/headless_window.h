// The window services in memory: controls, list box, message boxes and dialogs recorded
// for tests and tessik-cli. Inspection and scripting calls are for the thread that owns
// the window (the test or tessik-cli); worker calls go through platform/window.h.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"

struct RecordedMessageBox {
  std::string Title;
  std::string Text;
  MessageIcon Icon;
};

// Forgets every control, line, message and script; the next CreateMainWindow starts anew.
// The line and message sinks stay as they are.
void HeadlessReset();

// Creates the main window, without a window procedure of the program's, and the status
// line reading "Ready"; the other controls the engine uses come into being on first use.
void HeadlessCreateSearchControls();

// Called on every line added to a list box, on the calling thread, as it is added.
using LineSink = void (*)(const char* line);
void HeadlessSetLineSink(LineSink sink);

// Called with every message box as it is shown.
using MessageSink = void (*)(const RecordedMessageBox& box);
void HeadlessSetMessageSink(MessageSink sink);

std::vector<RecordedMessageBox> HeadlessMessageBoxes();
std::vector<std::string> HeadlessListLines(int id);
std::string HeadlessControlText(int id);
bool HeadlessIsEnabled(int id);
bool HeadlessControlExists(int id);
int HeadlessFocus();  // identifier of the control with the focus, 0 for none
int HeadlessHorizontalExtent(int id);
std::vector<int> HeadlessTabStops(int id);
int HeadlessTypingLimit(int id);
void HeadlessSetCheck(int id, int state);
void HeadlessSelectLine(int id, int index);  // -1 for no selection
std::string HeadlessWindowTitle();
bool HeadlessWindowShown();
// Identifiers in creation order (the order Tab follows), and a control's table row
// (its Text is left nullptr: the text is HeadlessControlText). False for no such control.
std::vector<int> HeadlessControlIds();
bool HeadlessControlRow(int id, ControlRow* row);
// Items added to the system menu: text and command identifier, in order.
std::vector<std::pair<std::string, int>> HeadlessSystemMenuItems();

// Types `text` at the end of an edit field as a user would: characters beyond the
// typing limit are refused, and a disabled control takes nothing.
void HeadlessTypeText(int id, const std::string& text);

// A user's action on a control: Enter in an edit field, a click, a double-click or a
// key, delivered to the window procedure as the real window would.
void HeadlessClick(int id);
void HeadlessDoubleClick(int id);
void HeadlessPressEnter();
void HeadlessPressEscape();
void HeadlessChooseSystemMenuItem(int id);
void HeadlessCloseWindow();

// The answer of the next open or save dialog: the path on OK, or a cancel.
void HeadlessScriptDialog(bool ok, const std::string& path);
struct RecordedDialog {
  bool Save;
  std::vector<std::pair<std::string, std::string>> Filters;  // description, pattern
  int Selected;
};
std::vector<RecordedDialog> HeadlessDialogs();

std::vector<std::string> HeadlessOpenedFiles();  // paths given to the default application
int HeadlessHelpOpenings();

bool HeadlessWindowDestroyed();
int HeadlessQuitCode();  // exit code posted by PostQuit, -1 before
