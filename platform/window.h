// The window services: the main window, its controls by identifier, message boxes,
// file dialogs, opening files and the help, and the message loop. The window thread
// calls everything; the search worker calls the control operations too, and each such
// call is carried out on the window thread before it returns. Once a stop is requested
// a call from the worker returns at once with no effect; while the worker is paused it
// waits until Resume or Stop. Backends: Qt 6 Widgets (platform/qt) and headless.
#pragma once

#include <cstdint>

// Control identifiers of the main window.
constexpr int kGoButton = 1;
constexpr int kAboutItem = 1000;
constexpr int kSearchInLabel = 1001;
constexpr int kSearchInEdit = 1002;
constexpr int kBrowseButton = 1003;
constexpr int kIncludeSubdirsCheck = 1004;
constexpr int kSearchForLabel = 1005;
constexpr int kSearchForEdit = 1006;
constexpr int kColumnHeading = 1008;
constexpr int kResultListBox = 1009;
constexpr int kDeleteButton = 1010;
constexpr int kClearButton = 1011;
constexpr int kPauseButton = 1012;
constexpr int kSaveButton = 1013;
constexpr int kExitButton = 1014;
constexpr int kHelpButton = 1015;
constexpr int kStatusLine = 1016;

// Commands of the window's menu beyond About. Windows keeps the four low bits of a menu
// command for itself, so these leave them clear.
constexpr int kDaitchMokotoffItem = 0x410;
constexpr int kReadUnicodeItem = 0x420;
constexpr int kGivenNamesItem = 0x430;
constexpr int kSoundexItem = 0x440;
constexpr int kScoredItem = 0x450;
constexpr int kReadRecordsItem = 0x460;

// Messages delivered to the window procedure.
constexpr std::uint32_t kMsgDestroy = 0x0002;
constexpr std::uint32_t kMsgSetFocus = 0x0007;
constexpr std::uint32_t kMsgClose = 0x0010;
constexpr std::uint32_t kMsgCommand = 0x0111;     // wParam: identifier | notification << 16
constexpr std::uint32_t kMsgSysCommand = 0x0112;  // wParam: the system command (1000 = About)

// The command Escape sends, as in a dialog: no control has it, so it does nothing.
constexpr int kCancelCommand = 2;

// Notification codes of kMsgCommand.
constexpr std::uint32_t kNotifyClicked = 0;
constexpr std::uint32_t kNotifyDoubleClicked = 2;

inline std::uintptr_t MakeCommand(int id, std::uint32_t notification) {
  return static_cast<std::uintptr_t>(static_cast<std::uint32_t>(id) & 0xFFFFu) |
         (static_cast<std::uintptr_t>(notification & 0xFFFFu) << 16);
}

using WindowProcedure = std::intptr_t (*)(std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t lParam);

enum class ControlKind { Label, Edit, PushButton, DefaultButton, CheckBox, ListBox };

// One row of the control table of the main window.
struct ControlRow {
  ControlKind Kind;
  const char* Text;  // nullptr for none
  int Id;
  int X, Y, Width, Height;  // pixels in the client area
};

enum class MessageIcon { Information, Error };

struct FileFilter {
  const char* Description;
  const char* Pattern;  // patterns separated by ';'
};

// --- the main window (window thread) ---

// Creates the main window; 0, or -1 on failure. `proc` receives every message of the window.
int CreateMainWindow(const char* title, int x, int y, int width, int height, WindowProcedure proc);
// Gives the main window another title.
void SetMainWindowTitle(const char* title);
// Creates a control from its table row; 0, or -1 on failure (not looked at by the program).
int CreateControl(const ControlRow& row);
// Appends a separator and an item with `text` and command `id` to the window's menu.
void AddSystemMenuItem(const char* text, int id);
// Appends an item with a check mark, shown or not, right under the last item of the menu.
void AddSystemMenuCheckItem(const char* text, int id, bool checked);
// Shows or clears the check mark of the menu's item `id`.
void CheckSystemMenuItem(int id, bool checked);
void ShowMainWindow();
// Runs the message loop until the quit message; returns its exit code.
int RunMessageLoop();
void PostQuit(int exitCode);
void DestroyMainWindow();
// Delivers a message to the window procedure synchronously and returns its result.
std::intptr_t SendMainWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam);
// What the platform does with a message the program does not handle.
std::intptr_t DefaultWindowProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// --- controls (window thread and worker) ---

// Copies at most size - 1 characters of the text and a terminator; returns the length.
int GetControlText(int id, char* buffer, int size);
void SetControlText(int id, const char* text);
void EnableControl(int id, bool enabled);
void SetControlFocus(int id);
int GetCheckState(int id);
void SetTypingLimit(int id, int limit);

// The result list box (unsorted: a line added goes to the end).
int ListBoxAddLine(int id, const char* text);  // index of the new line, or -1
int ListBoxCount(int id);
int ListBoxGetText(int id, int index, char* buffer, int size);  // length, or -1
int ListBoxGetSelection(int id);                                // -1 when no line is selected
void ListBoxDeleteLine(int id, int index);
void ListBoxReset(int id);
void ListBoxSetHorizontalExtent(int id, int pixels);
// Tab stops in dialog units (a quarter of the average character width).
void ListBoxSetTabStops(int id, const int* stops, int count);

// Modal message owned by the main window with an OK button.
void ShowMessageBox(const char* title, const char* text, MessageIcon icon);

// --- dialogs and the desktop (window thread) ---

// The open and save dialogs. `selected` is the 1-based filter shown first. The chosen
// full path goes to `path`; 0 on OK, -1 on cancel or failure. The save dialog asks before
// replacing a file and adds no extension. Both open in the folder of the last file used.
int ShowOpenDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size);
int ShowSaveDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size);
// The dialogs open next in the folder of `path`. The open dialog moves there by itself on
// OK; a file chosen in the save dialog counts only once it has been written, so the
// program calls this after a save that succeeded and a failed one leaves the folder as it was.
void RememberDialogFolder(const char* path);
// Opens a file with the desktop's default application; a failure is not reported.
void OpenWithDefaultApplication(const char* path);
// Opens the program's help page at its contents.
void OpenHelp();
