// The keyboard focus can be seen on every kind of control that takes it, and nothing else
// of a control's look depends on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QListView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "platform/qt/qt_focus_style.h"
#include "platform/window.h"
#include "qt/qt_test_support.h"

namespace {

QImage Look(int id) { return ControlWidget(id)->grab().toImage(); }

QListView* List() { return static_cast<QListView*>(ControlWidget(kResultListBox)); }

void AddLines() {
  for (const char* line :
       {"Kathryn\tminutes.txt\t2 (51.3%)\t0 K", "Catherine\tnotes.txt\t1 (16.7%)\t0 K"})
    ListBoxAddLine(kResultListBox, line);
}

struct FocusCase {
  const char* Name;
  int Id;
  // Done once the control has the focus, before its look is taken.
  std::function<void()> Arrange;
  bool CurrentLine;  // for the list: whether it has a current line then
};

void PrintTo(const FocusCase& c, std::ostream* out) { *out << c.Name; }

class QtFocusTest : public testing::TestWithParam<FocusCase> {
 protected:
  void SetUp() override { CreateTestWindow(); }
  void TearDown() override { DestroyTestWindow(); }
};

TEST_P(QtFocusTest, AControlWithTheFocusLooksOtherwiseThanWithout) {
  const FocusCase& c = GetParam();
  SetControlFocus(c.Id);
  ASSERT_TRUE(WaitForFocus(ControlWidget(c.Id)));
  if (c.Arrange) c.Arrange();
  if (c.Id == kResultListBox) {
    ASSERT_EQ(List()->currentIndex().isValid(), c.CurrentLine);
  }
  QImage focused = Look(c.Id);

  SetControlFocus(kSearchForEdit);
  ASSERT_TRUE(WaitForFocus(ControlWidget(kSearchForEdit)));
  if (c.Id == kResultListBox) {
    ASSERT_EQ(List()->currentIndex().isValid(), c.CurrentLine);
  }
  EXPECT_NE(Look(c.Id), focused) << "the focus on " << c.Name << " cannot be seen";
}

INSTANTIATE_TEST_SUITE_P(
    Controls, QtFocusTest,
    testing::Values(FocusCase{"GoButton", kGoButton, nullptr, false},
                    FocusCase{"PushButton", kExitButton, nullptr, false},
                    FocusCase{"SmallPushButton", kBrowseButton, nullptr, false},
                    FocusCase{"Edit", kSearchInEdit, nullptr, false},
                    FocusCase{"CheckBox", kIncludeSubdirsCheck, nullptr, false},
                    FocusCase{"EmptyList", kResultListBox, nullptr, false},
                    // Lines that come after the list took the focus, as after a search.
                    FocusCase{"ListWithoutCurrentLine", kResultListBox, AddLines, false},
                    FocusCase{"ListWithCurrentLine", kResultListBox,
                              [] {
                                AddLines();
                                QTest::keyClick(List(), Qt::Key_Down);
                              },
                              true}),
    [](const testing::TestParamInfo<FocusCase>& info) { return std::string(info.param.Name); });

// Without the focus, a control looks exactly as the application's own style draws it.
TEST(QtFocusStyleTest, WithoutTheFocusEveryControlLooksAsTheApplicationStyleDrawsIt) {
  CreateTestWindow();
  AddLines();
  SetControlFocus(kSearchForEdit);
  ASSERT_TRUE(WaitForFocus(ControlWidget(kSearchForEdit)));
  for (int id : {kSearchInEdit, kBrowseButton, kIncludeSubdirsCheck, kGoButton, kResultListBox,
                 kDeleteButton, kExitButton}) {
    QWidget* control = ControlWidget(id);
    ASSERT_EQ(control->style(), QtControlStyle()) << id;
    QImage ours = Look(id);
    control->setStyle(QApplication::style());
    QImage plain = Look(id);
    control->setStyle(QtControlStyle());
    EXPECT_EQ(ours, plain) << id;
  }
  DestroyTestWindow();
}

}  // namespace
