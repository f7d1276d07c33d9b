// The tests' hands and eyes on the headless window: the main window that the window's
// searches show their results in, a user's actions on its controls, and what the window
// shows. For the thread that plays the window thread (the test); the worker goes through
// platform/window.h.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/headless/headless_record.h"
#include "platform/window.h"
#include "support/headless_controls.h"

// The main window, without a window procedure of the program's, and the status line
// reading "Ready": enough for the window's search and status line, whose other controls
// come into being on first use. (The program builds the whole window from its layout.)
void HeadlessCreateSearchControls();

std::vector<RecordedMessageBox> HeadlessMessageBoxes();
std::vector<std::string> HeadlessListLines(int id);  // a line whose text was not kept is ""
std::string HeadlessControlText(int id);
bool HeadlessIsEnabled(int id);
int HeadlessFocus();  // identifier of the control with the focus, 0 for none
int HeadlessHorizontalExtent(int id);
std::vector<int> HeadlessTabStops(int id);
int HeadlessTypingLimit(int id);
void HeadlessSelectLine(int id, int index);  // -1 for no selection
std::string HeadlessWindowTitle();
bool HeadlessWindowShown();
// Identifiers in creation order (the order Tab follows), and a control's table row
// (its Text is left nullptr: the text is HeadlessControlText). False for no such control.
std::vector<int> HeadlessControlIds();
bool HeadlessControlRow(int id, ControlRow* row);
// Items added to the system menu: text and command identifier, in order.
std::vector<std::pair<std::string, int>> HeadlessSystemMenuItems();
// Whether the menu's check item `id` shows its check mark; -1 when it has no such item.
int HeadlessSystemMenuCheck(int id);

// Types `text` at the end of an edit field as a user would: characters beyond the
// typing limit are refused, and a disabled control takes nothing.
void HeadlessTypeText(int id, const std::string& text);

// A user's action on a control: a click, a double-click, Enter (which presses the default
// button, Go) or Escape, delivered to the window procedure as the real window would.
void HeadlessClick(int id);
void HeadlessDoubleClick(int id);
void HeadlessPressEnter();
void HeadlessPressEscape();
void HeadlessChooseSystemMenuItem(int id);
void HeadlessCloseWindow();

// The answer of the next open or save dialog: the path on OK, or a cancel.
void HeadlessScriptDialog(bool ok, const std::string& path);
using RecordedDialog = HeadlessRecordedDialog;
std::vector<RecordedDialog> HeadlessDialogs();

std::vector<std::string> HeadlessOpenedFiles();  // paths given to the default application
int HeadlessHelpOpenings();

bool HeadlessWindowDestroyed();
int HeadlessQuitCode();  // exit code posted by PostQuit, -1 before
