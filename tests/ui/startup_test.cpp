// The window as it stands right after start-up, and the messages and commands that do
// not involve a search.
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "ui/window_search.h"
#include "window_fixture.h"

namespace ui_test {
namespace {

using StartUpTest = WindowTest;

struct ExpectedControl {
  int Id;
  ControlKind Kind;
  const char* Text;
  int X, Y, Width, Height;
};

// The layout as the user sees it, in creation order (which Tab follows).
const ExpectedControl kExpected[] = {
    {1001, ControlKind::Label, "Search in:", 20, 10, 80, 15},
    {1002, ControlKind::Edit, "", 20, 25, 310, 20},
    {1003, ControlKind::PushButton, "...", 377, 17, 40, 28},
    {1004, ControlKind::CheckBox, "Include subdirectories", 20, 50, 180, 15},
    {1005, ControlKind::Label, "Search for:", 20, 75, 80, 15},
    {1006, ControlKind::Edit, "", 20, 90, 310, 20},
    {1, ControlKind::DefaultButton, "&Go", 365, 82, 52, 28},
    {1016, ControlKind::Label, "Ready", 20, 120, 440, 18},
    {1008, ControlKind::Label, nullptr, 20, 148, 400, 15},
    {1009, ControlKind::ListBox, "", 18, 165, 400, 176},
    {1010, ControlKind::PushButton, "&Del", 431, 195, 52, 30},
    {1011, ControlKind::PushButton, "&Clear", 431, 245, 52, 30},
    {1012, ControlKind::PushButton, "&Pause", 30, 357, 70, 33},
    {1013, ControlKind::PushButton, "&Save", 130, 357, 60, 33},
    {1014, ControlKind::PushButton, "E&xit", 220, 357, 60, 33},
    {1015, ControlKind::PushButton, "&Help", 348, 357, 60, 33},
};

TEST_F(StartUpTest, ControlsFollowTheTableInCreationOrder) {
  EXPECT_EQ(HeadlessWindowTitle(), " Tessik");
  EXPECT_TRUE(HeadlessWindowShown());
  std::vector<int> ids = HeadlessControlIds();
  ASSERT_EQ(ids.size(), std::size(kExpected));
  for (std::size_t i = 0; i < ids.size(); ++i) {
    const ExpectedControl& expected = kExpected[i];
    SCOPED_TRACE(expected.Id);
    EXPECT_EQ(ids[i], expected.Id);
    ControlRow row{};
    ASSERT_TRUE(HeadlessControlRow(expected.Id, &row));
    EXPECT_EQ(row.Kind, expected.Kind);
    EXPECT_EQ(row.X, expected.X);
    EXPECT_EQ(row.Y, expected.Y);
    EXPECT_EQ(row.Width, expected.Width);
    EXPECT_EQ(row.Height, expected.Height);
    if (expected.Text != nullptr) {
      EXPECT_EQ(HeadlessControlText(expected.Id), expected.Text);
    }
  }
}

TEST_F(StartUpTest, HeadingStandsOverTheFourColumns) {
  std::string heading = "Word:" + std::string(21, ' ') + "File:" + std::string(23, ' ') +
                        "Line:" + std::string(13, ' ') + "File size:";
  EXPECT_EQ(heading.size(), 82u);
  EXPECT_EQ(HeadlessControlText(kColumnHeading), heading);
  EXPECT_EQ(HeadlessTabStops(kResultListBox), (std::vector<int>{62, 122, 164}));
}

TEST_F(StartUpTest, StartsIdleWithTheFocusInSearchIn) {
  EXPECT_EQ(HeadlessFocus(), kSearchInEdit);
  EXPECT_EQ(HeadlessControlText(kStatusLine), "Ready");
  EXPECT_EQ(Lines(), 0);
  EXPECT_EQ(HeadlessControlText(kPauseButton), "&Pause");
  for (int id : {kBrowseButton, kGoButton, kExitButton, kHelpButton}) {
    EXPECT_TRUE(HeadlessIsEnabled(id)) << id;
  }
  for (int id : {kPauseButton, kSaveButton, kDeleteButton, kClearButton}) {
    EXPECT_FALSE(HeadlessIsEnabled(id)) << id;
  }
  EXPECT_EQ(HeadlessSystemMenuItems(),
            (std::vector<std::pair<std::string, int>>{
                {"&About Tessik", kAboutItem},
                {"&Soundex keys and spellings", kSoundexItem},
                {"&Daitch-Mokotoff Soundex", kDaitchMokotoffItem},
                {"S&cored names (learned from name pairs)", kScoredItem},
                {"Accented, Cyrillic and Greek &letters", kReadUnicodeItem},
                {"Given names with their &equivalents", kGivenNamesItem},
                {"&GEDCOM records and documents", kReadRecordsItem}}));
  EXPECT_EQ(HeadlessSystemMenuCheck(kSoundexItem), 1);
  EXPECT_EQ(HeadlessSystemMenuCheck(kDaitchMokotoffItem), 0);
  EXPECT_EQ(HeadlessSystemMenuCheck(kScoredItem), 0);
  EXPECT_EQ(HeadlessSystemMenuCheck(kReadUnicodeItem), 0);
  EXPECT_EQ(HeadlessSystemMenuCheck(kGivenNamesItem), 0);
  EXPECT_EQ(HeadlessSystemMenuCheck(kReadRecordsItem), 0);
  EXPECT_EQ(HeadlessMessageBoxes().size(), 0u);
}

TEST_F(StartUpTest, TypingStopsAtTheLimitOfEachField) {
  HeadlessTypeText(kSearchInEdit, std::string(300, 'a'));
  HeadlessTypeText(kSearchForEdit, std::string(600, 'b'));
  EXPECT_EQ(HeadlessControlText(kSearchInEdit), std::string(255, 'a'));
  EXPECT_EQ(HeadlessControlText(kSearchForEdit), std::string(255, 'b'));
}

TEST_F(StartUpTest, WindowFocusGoesOnToSearchFor) {
  EXPECT_EQ(SendMainWindowMessage(kMsgSetFocus, 0, 0), 0);
  EXPECT_EQ(HeadlessFocus(), kSearchForEdit);
}

// Everything a user can see, to show that an action changed nothing.
struct Snapshot {
  std::vector<std::string> Texts;
  std::vector<bool> Enabled;
  int Focus;
  std::size_t Boxes;
  std::size_t Dialogs;
  int Lines;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take() {
  Snapshot shot{
      {}, {}, HeadlessFocus(), HeadlessMessageBoxes().size(), HeadlessDialogs().size(), Lines()};
  for (int id : HeadlessControlIds()) {
    shot.Texts.push_back(HeadlessControlText(id));
    shot.Enabled.push_back(HeadlessIsEnabled(id));
  }
  return shot;
}

TEST_F(StartUpTest, EscapeAndCheckBoxCommandsDoNothing) {
  Snapshot before = Take();
  HeadlessPressEscape();
  EXPECT_EQ(Take(), before);
  HeadlessClick(kIncludeSubdirsCheck);
  EXPECT_EQ(Take(), before);
  EXPECT_EQ(GetCheckState(kIncludeSubdirsCheck), 1);  // the box toggles itself
  HeadlessClick(kIncludeSubdirsCheck);
  EXPECT_EQ(GetCheckState(kIncludeSubdirsCheck), 0);
  // An unknown notification goes to the default processing only.
  SendMainWindowMessage(kMsgCommand, MakeCommand(kGoButton, 5), 0);
  EXPECT_EQ(Take(), before);
  EXPECT_EQ(WindowSearchState().SearchRunning, 0);
}

TEST_F(StartUpTest, AboutItemShowsTheAboutBoxOnly) {
  HeadlessChooseSystemMenuItem(kAboutItem);
  std::vector<RecordedMessageBox> boxes = HeadlessMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Title, " About Tessik");
  EXPECT_EQ(boxes[0].Icon, MessageIcon::Information);
  EXPECT_NE(boxes[0].Text.find("Tessik"), std::string::npos);
  EXPECT_NE(boxes[0].Text.find("1.5"), std::string::npos);
  EXPECT_NE(boxes[0].Text.find("ights"), std::string::npos);
  // Any other system command (here: minimise, 0xF020) is the platform's business.
  HeadlessChooseSystemMenuItem(0xF020);
  HeadlessChooseSystemMenuItem(kAboutItem + 1);
  EXPECT_EQ(HeadlessMessageBoxes().size(), 1u);
}

// A switch of the menu: off at first, turned over by choosing it, used by the next search,
// and found as it was left by the next start of the program.
struct SwitchCase {
  const char* Name;
  int Item;
  const char* Setting;
  const char* File;  // searched for "Zajac" or "Muller"
  const char* Query;
  std::size_t FoundOff, FoundOn;
  const char* TitleOn;  // the window's title says the switch is on
};

void PrintTo(const SwitchCase& c, std::ostream* out) { *out << c.Name; }

#ifndef _WIN32
// Keeps the settings in `folder` while it lives.
class SettingsIn {
 public:
  explicit SettingsIn(const std::string& folder) {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) old_ = old;
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  }
  ~SettingsIn() { setenv("XDG_CONFIG_HOME", old_.c_str(), 1); }

 private:
  std::string old_;
};
#endif

class SwitchItemTest : public WindowTest, public testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchItemTest, ChoosesHowTheNextSearchReadsAndIsRemembered) {
#ifdef _WIN32
  // The settings are the registry of the user, shared by every test that starts a window:
  // the store itself is tested by platform/settings_test.
  GTEST_SKIP() << "the settings are the user's registry";
#else
  const SwitchCase& c = GetParam();
  TempTree tree;
  const SettingsIn settings(tree.Path("config"));
  tree.WriteFile("names.txt", c.File);
  auto restart = [] {
    HeadlessReset();
    return SetUpMainWindow();
  };
  auto found = [&] {
    SetInputs(tree.Path("names.txt"), c.Query);
    HeadlessClick(kGoButton);
    EXPECT_TRUE(WaitForSearchEnd());
    return HeadlessListLines(kResultListBox).size();
  };
  ASSERT_EQ(restart(), 0);
  EXPECT_EQ(HeadlessSystemMenuCheck(c.Item), 0);
  EXPECT_EQ(HeadlessWindowTitle(), " Tessik");
  EXPECT_EQ(found(), c.FoundOff);
  HeadlessChooseSystemMenuItem(c.Item);
  EXPECT_EQ(HeadlessSystemMenuCheck(c.Item), 1);
  EXPECT_EQ(HeadlessWindowTitle(), c.TitleOn);
  EXPECT_EQ(found(), c.FoundOn);
  EXPECT_EQ(HeadlessMessageBoxes().size(), 0u);

  ASSERT_EQ(restart(), 0);
  EXPECT_EQ(HeadlessSystemMenuCheck(c.Item), 1);
  EXPECT_EQ(HeadlessWindowTitle(), c.TitleOn);
  EXPECT_EQ(found(), c.FoundOn);
  HeadlessChooseSystemMenuItem(c.Item);
  EXPECT_EQ(HeadlessWindowTitle(), " Tessik");
  ASSERT_EQ(restart(), 0);
  EXPECT_EQ(HeadlessSystemMenuCheck(c.Item), 0);
  EXPECT_EQ(HeadlessWindowTitle(), " Tessik");
  EXPECT_EQ(found(), c.FoundOff);
  EXPECT_EQ(ReadWholeFile(tree.Path("config/tessik/settings")), std::string(c.Setting) + "=0\n");
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Switches, SwitchItemTest,
    testing::Values(SwitchCase{"DaitchMokotoff", kDaitchMokotoffItem, "DaitchMokotoff",
                               "Zajac\nSajac\n", "Zajac", 1, 2,
                               " Tessik [Daitch-Mokotoff Soundex]"},
                    SwitchCase{"Scored", kScoredItem, "Scored", "Catherine\nKatherine\nKathryn\n",
                               "Catherine", 3, 2,
                               " Tessik [Scored names (learned from name pairs)]"},
                    SwitchCase{"ReadUnicode", kReadUnicodeItem, "ReadUnicode",
                               "M\xc3\xbcller\nMuller\n", "Muller", 1, 2,
                               " Tessik [Accented, Cyrillic and Greek letters]"},
                    SwitchCase{"GivenNames", kGivenNamesItem, "GivenNames",
                               "Gulielmus\nWilliam\nWm.\n", "William", 1, 3,
                               " Tessik [Given names with their equivalents]"},
                    SwitchCase{"ReadRecords", kReadRecordsItem, "ReadRecords",
                               "0 HEAD\n1 CHAR ANSEL\n1 NAME M\xe8uller\n1 NAME Muller\n",
                               "Muller", 1, 2, " Tessik [GEDCOM records and documents]"}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return info.param.Name; });

// The user's own given-name equivalents: a line that cannot be read is told once, with its
// line, and the search goes on with the rest of the file.
TEST_F(StartUpTest, GivenNamesFileWithABadLineIsToldOnceAndTheSearchGoesOn) {
#ifdef _WIN32
  GTEST_SKIP() << "the settings are the user's registry";
#else
  TempTree tree;
  const SettingsIn settings(tree.Path("config"));
  tree.WriteFile("config/tessik/given-names.txt", "hamish: james\nhamish jamie\n");
  tree.WriteFile("names.txt", "James\nJamie\n");
  HeadlessReset();
  ASSERT_EQ(SetUpMainWindow(), 0);
  HeadlessChooseSystemMenuItem(kGivenNamesItem);
  for (int search = 0; search < 2; ++search) {
    SetInputs(tree.Path("names.txt"), "Hamish");
    HeadlessClick(kGoButton);
    EXPECT_TRUE(WaitForSearchEnd());
    EXPECT_EQ(HeadlessListLines(kResultListBox).size(), 1u);  // James, by the first line
  }
  const std::vector<RecordedMessageBox> boxes = HeadlessMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].Text.find(tree.Path("config/tessik/given-names.txt") +
                               ":2: no colon after the name"),
            std::string::npos)
      << boxes[0].Text;
#endif
}

// The methods are one choice: choosing one unchecks the others, choosing the one chosen
// goes back to the program's own; the scored method shows each word's score in its line.
TEST_F(StartUpTest, TheMethodsAreOneChoiceOfThree) {
#ifdef _WIN32
  GTEST_SKIP() << "the settings are the user's registry";
#else
  TempTree tree;
  const SettingsIn settings(tree.Path("config"));
  HeadlessReset();
  ASSERT_EQ(SetUpMainWindow(), 0);
  auto checks = [] {
    return std::vector<int>{HeadlessSystemMenuCheck(kSoundexItem), HeadlessSystemMenuCheck(kDaitchMokotoffItem),
                            HeadlessSystemMenuCheck(kScoredItem)};
  };
  EXPECT_EQ(checks(), (std::vector<int>{1, 0, 0}));
  HeadlessChooseSystemMenuItem(kDaitchMokotoffItem);
  EXPECT_EQ(checks(), (std::vector<int>{0, 1, 0}));
  HeadlessChooseSystemMenuItem(kScoredItem);
  EXPECT_EQ(checks(), (std::vector<int>{0, 0, 1}));
  tree.WriteFile("names.txt", "Jonson\n");
  SetInputs(tree.Path("names.txt"), "Johnson");
  HeadlessClick(kGoButton);
  ASSERT_TRUE(WaitForSearchEnd());
  const std::vector<std::string> lines = HeadlessListLines(kResultListBox);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("Jonson (", 0), 0u) << lines[0];
  HeadlessChooseSystemMenuItem(kScoredItem);
  EXPECT_EQ(checks(), (std::vector<int>{1, 0, 0}));
  HeadlessChooseSystemMenuItem(kDaitchMokotoffItem);
  HeadlessChooseSystemMenuItem(kSoundexItem);
  EXPECT_EQ(checks(), (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(ReadWholeFile(tree.Path("config/tessik/settings")), "DaitchMokotoff=0\nScored=0\n");
#endif
}

TEST_F(StartUpTest, HelpOpensTheHelpPage) {
  HeadlessClick(kHelpButton);
  EXPECT_EQ(HeadlessHelpOpenings(), 1);
  EXPECT_EQ(HeadlessMessageBoxes().size(), 0u);
}

TEST_F(StartUpTest, ExitClosesTheWindowAndQuitsWithZero) {
  EXPECT_EQ(HeadlessQuitCode(), -1);
  HeadlessClick(kExitButton);
  EXPECT_TRUE(HeadlessWindowDestroyed());
  EXPECT_EQ(HeadlessQuitCode(), 0);
}

}  // namespace
}  // namespace ui_test
