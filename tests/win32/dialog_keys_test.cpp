// The keys of the main window as its message loop handles them: Enter presses Go from
// either edit field, Escape sends the cancel command, Alt with a button's letter presses
// it, and Tab moves among the enabled controls in creation order.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "platform/window.h"
#include "win32/window_test_support.h"

namespace {

constexpr int kNoCommand = -1;

struct KeyCase {
  const char* Name;
  int FocusId;
  UINT Message;  // WM_KEYDOWN with a virtual key, or WM_SYSCHAR with a letter
  WPARAM Key;
  int Command;  // the clicked command sent to the window, or kNoCommand
  int FocusAfter;
};

void PrintTo(const KeyCase& key, std::ostream* out) { *out << key.Name; }

const KeyCase kKeyCases[] = {
    {"EnterInSearchFor", kSearchForEdit, WM_KEYDOWN, VK_RETURN, kGoButton, kSearchForEdit},
    {"EnterInSearchIn", kSearchInEdit, WM_KEYDOWN, VK_RETURN, kGoButton, kSearchInEdit},
    {"EscapeSendsCancel", kSearchForEdit, WM_KEYDOWN, VK_ESCAPE, kCancelCommand, kSearchForEdit},
    {"AltGPressesGo", kSearchForEdit, WM_SYSCHAR, 'g', kGoButton, kGoButton},
    {"AltXPressesExit", kSearchInEdit, WM_SYSCHAR, 'x', kExitButton, kExitButton},
    {"TabToBrowse", kSearchInEdit, WM_KEYDOWN, VK_TAB, kNoCommand, kBrowseButton},
    {"TabToGo", kSearchForEdit, WM_KEYDOWN, VK_TAB, kNoCommand, kGoButton},
    // Del, Clear, Pause and Save are disabled, as after start-up.
    {"TabSkipsDisabledButtons", kResultListBox, WM_KEYDOWN, VK_TAB, kNoCommand, kExitButton},
    {"AltOnADisabledButtonDoesNothing", kSearchForEdit, WM_SYSCHAR, 'd', kNoCommand,
     kSearchForEdit},
};

class DialogKeysTest : public testing::TestWithParam<KeyCase> {
 protected:
  static void SetUpTestSuite() { CreateTestWindow(); }
  static void TearDownTestSuite() { DestroyTestWindow(); }
  void SetUp() override {
    for (int id : {kDeleteButton, kClearButton, kPauseButton, kSaveButton}) {
      EnableControl(id, false);
    }
    DeliverPending();
  }
};

// The clicked commands the window was sent (notification 0); others are the controls'
// own news, such as an edit field's focus.
std::string ClickedCommands() {
  std::string commands;
  for (const RecordedMessage& message : Recorded()) {
    if (message.Message == kMsgCommand && (message.WParam >> 16) == kNotifyClicked) {
      commands += std::to_string(message.WParam & 0xFFFFu) + " ";
    }
  }
  return commands;
}

TEST_P(DialogKeysTest, KeyHasItsEffect) {
  const KeyCase& key = GetParam();
  SetControlFocus(key.FocusId);
  ASSERT_EQ(GetFocus(), TestControl(key.FocusId));
  Recorded().clear();
  // Bit 29 of a WM_SYSCHAR says Alt is held.
  LPARAM keyData = key.Message == WM_SYSCHAR ? (LPARAM{1} << 29) | 1 : 1;
  PostMessageA(TestControl(key.FocusId), key.Message, key.Key, keyData);
  RunLoopThroughPosted();
  std::string expected = key.Command == kNoCommand ? "" : std::to_string(key.Command) + " ";
  EXPECT_EQ(ClickedCommands(), expected);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), key.FocusAfter);
}

INSTANTIATE_TEST_SUITE_P(Keys, DialogKeysTest, testing::ValuesIn(kKeyCases),
                         [](const testing::TestParamInfo<KeyCase>& info) {
                           return std::string(info.param.Name);
                         });

}  // namespace
