#include "ui/main_window_layout.h"

#include "engine/search_request.h"
#include "ui/button_rule.h"
#include "ui/main_window_proc.h"
#include "ui/window_switches.h"

const char kColumnHeadingText[] =
    "Word:                     File:                       Line:             File size:";

static_assert(sizeof(kColumnHeadingText) == 83, "the heading is 82 characters wide");
static_assert(kSearchInLimit + 1 == kSearchTextSize);
static_assert(kSearchForLimit == kSearchForCharacters);

const ControlRow kControlTable[kControlCount] = {
    {ControlKind::Label, "Search in:", kSearchInLabel, 20, 10, 80, 15},
    {ControlKind::Edit, nullptr, kSearchInEdit, 20, 25, 310, 20},
    {ControlKind::PushButton, "...", kBrowseButton, 377, 17, 40, 28},
    {ControlKind::CheckBox, "Include subdirectories", kIncludeSubdirsCheck, 20, 50, 180, 15},
    {ControlKind::Label, "Search for:", kSearchForLabel, 20, 75, 80, 15},
    {ControlKind::Edit, nullptr, kSearchForEdit, 20, 90, 310, 20},
    {ControlKind::DefaultButton, "&Go", kGoButton, 365, 82, 52, 28},
    // Created eighth, although its identifier is the last one.
    {ControlKind::Label, "Ready", kStatusLine, 20, 120, 440, 18},
    {ControlKind::Label, kColumnHeadingText, kColumnHeading, 20, 148, 400, 15},
    {ControlKind::ListBox, nullptr, kResultListBox, 18, 165, 400, 176},
    {ControlKind::PushButton, "&Del", kDeleteButton, 431, 195, 52, 30},
    {ControlKind::PushButton, "&Clear", kClearButton, 431, 245, 52, 30},
    {ControlKind::PushButton, "&Pause", kPauseButton, 30, 357, 70, 33},
    {ControlKind::PushButton, "&Save", kSaveButton, 130, 357, 60, 33},
    {ControlKind::PushButton, "E&xit", kExitButton, 220, 357, 60, 33},
    {ControlKind::PushButton, "&Help", kHelpButton, 348, 357, 60, 33},
};

const int kResultTabStops[3] = {62, 122, 164};

int SetUpMainWindow() {
  if (CreateMainWindow(kMainWindowTitle, 80, 25, 500, 425, MainWindowProc) != 0) return -1;
  // A control that could not be made is left out; the window runs without it.
  for (const ControlRow& row : kControlTable) CreateControl(row);
  AddSystemMenuItem("&About Tessik", kAboutItem);
  AddSwitchItems();
  ListBoxSetTabStops(kResultListBox, kResultTabStops, 3);
  SetTypingLimit(kSearchInEdit, kSearchInLimit);
  SetTypingLimit(kSearchForEdit, kSearchForLimit);
  RefreshButtons();
  ShowMainWindow();
  SetControlFocus(kSearchInEdit);
  return 0;
}
