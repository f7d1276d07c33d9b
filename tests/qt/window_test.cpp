// The Qt window against its interface: layout, keyboard, limits, list box and menu.
#include "platform/window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <string>

#include "platform/qt/qt_main_window.h"
#include "platform/qt/qt_result_list.h"
#include "platform/qt/qt_result_list_testing.h"
#include "qt/qt_test_support.h"
#include "ui/main_window_layout.h"

namespace {

// Bounds waits for what must happen; it only turns a hang into a failure.
constexpr int kPatienceMs = 30000;

class QtWindowTest : public testing::Test {
 protected:
  void SetUp() override { CreateTestWindow(); }
  void TearDown() override { DestroyTestWindow(); }

  static int FocusedId() {
    QWidget* focused = QApplication::focusWidget();
    for (const ControlRow& row : kTestControls) {
      if (ControlWidget(row.Id) == focused) return row.Id;
    }
    return 0;
  }
};

TEST_F(QtWindowTest, EveryControlStandsWhereItsRowSays) {
  for (const ControlRow& row : kTestControls) {
    QWidget* widget = ControlWidget(row.Id);
    ASSERT_NE(widget, nullptr) << row.Id;
    EXPECT_EQ(widget->geometry(), QRect(row.X, row.Y, row.Width, row.Height)) << row.Id;
    EXPECT_EQ(widget->parentWidget(), QtMainWindow()) << row.Id;
  }
  char text[128];
  EXPECT_EQ(GetControlText(kColumnHeading, text, sizeof text), 82);
  EXPECT_STREQ(text, kTestHeading);
  EXPECT_EQ(QtMainWindow()->windowTitle(), QStringLiteral(" Tessik"));
  SetMainWindowTitle(" Tessik [\xc3\xbc]");
  EXPECT_EQ(QtMainWindow()->windowTitle(), QStringLiteral(" Tessik [\u00fc]"));
  SetMainWindowTitle(" Tessik");
  // A fixed window without maximise, 500 by 425 with its frame.
  EXPECT_EQ(QtMainWindow()->minimumSize(), QtMainWindow()->maximumSize());
  EXPECT_EQ(QtMainWindow()->frameGeometry().size(), QSize(500, 425));
  EXPECT_FALSE(QtMainWindow()->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(QtMainWindow()->frameGeometry().topLeft(), QPoint(80, 25));
}

TEST_F(QtWindowTest, EnterInEitherEditFieldSendsTheDefaultCommand) {
  for (int id : {kSearchInEdit, kSearchForEdit}) {
    Recorded().clear();
    SetControlFocus(id);
    QTest::keyClick(ControlWidget(id), Qt::Key_Return);
    QTest::keyClick(ControlWidget(id), Qt::Key_Escape);
    ASSERT_EQ(Recorded().size(), 1u) << id;
    EXPECT_EQ(Recorded()[0].Message, kMsgCommand);
    EXPECT_EQ(Recorded()[0].WParam, MakeCommand(kGoButton, kNotifyClicked));
  }
  // Enter on a focused push button presses that button instead.
  Recorded().clear();
  SetControlFocus(kHelpButton);
  QTest::keyClick(ControlWidget(kHelpButton), Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_TRUE(WasSent(kMsgCommand, MakeCommand(kHelpButton, kNotifyClicked)));
  EXPECT_FALSE(WasSent(kMsgCommand, MakeCommand(kGoButton, kNotifyClicked)));
}

TEST_F(QtWindowTest, AltWithTheMarkedLetterPressesTheButton) {
  const struct {
    Qt::Key Key;
    int Id;
  } cases[] = {{Qt::Key_G, kGoButton},    {Qt::Key_P, kPauseButton}, {Qt::Key_D, kDeleteButton},
               {Qt::Key_C, kClearButton}, {Qt::Key_S, kSaveButton},  {Qt::Key_X, kExitButton},
               {Qt::Key_H, kHelpButton}};
  for (const auto& c : cases) {
    Recorded().clear();
    QTest::keyClick(ControlWidget(kSearchForEdit), c.Key, Qt::AltModifier);
    std::uintptr_t command = MakeCommand(c.Id, kNotifyClicked);
    EXPECT_TRUE(PumpUntil([&] { return WasSent(kMsgCommand, command); }, kPatienceMs)) << c.Id;
  }
  // A disabled button does not answer its letter, and "Stop" has none.
  EnableControl(kPauseButton, false);
  SetControlText(kGoButton, "Stop");
  Recorded().clear();
  QTest::keyClick(ControlWidget(kSearchForEdit), Qt::Key_P, Qt::AltModifier);
  QTest::keyClick(ControlWidget(kSearchForEdit), Qt::Key_G, Qt::AltModifier);
  // A button answers its letter with a click a fixed time later, so a click from either
  // key would come before that of Exit's letter, pressed after them.
  QTest::keyClick(ControlWidget(kSearchForEdit), Qt::Key_X, Qt::AltModifier);
  const std::uintptr_t exitClick = MakeCommand(kExitButton, kNotifyClicked);
  ASSERT_TRUE(PumpUntil([&] { return WasSent(kMsgCommand, exitClick); }, kPatienceMs));
  for (const RecordedMessage& message : Recorded()) {
    if (message.Message == kMsgCommand) {
      EXPECT_EQ(message.WParam, exitClick);
    }
  }
  Recorded().clear();
  SetControlText(kPauseButton, "&Resume");
  EnableControl(kPauseButton, true);
  QTest::keyClick(ControlWidget(kSearchForEdit), Qt::Key_R, Qt::AltModifier);
  EXPECT_TRUE(PumpUntil(
      [] { return WasSent(kMsgCommand, MakeCommand(kPauseButton, kNotifyClicked)); }, kPatienceMs));
}

TEST_F(QtWindowTest, TabFollowsCreationOrderAndSkipsDisabledControls) {
  for (int id : {kDeleteButton, kClearButton, kPauseButton, kSaveButton}) {
    EnableControl(id, false);
  }
  const std::vector<int> forward = {kBrowseButton, kIncludeSubdirsCheck, kSearchForEdit,
                                    kGoButton,     kResultListBox,       kExitButton,
                                    kHelpButton,   kSearchInEdit};
  SetControlFocus(kSearchInEdit);
  ASSERT_EQ(FocusedId(), kSearchInEdit);
  std::vector<int> seen;
  for (size_t i = 0; i < forward.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    seen.push_back(FocusedId());
  }
  EXPECT_EQ(seen, forward);
  seen.clear();
  for (size_t i = 0; i < forward.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    seen.push_back(FocusedId());
  }
  std::vector<int> backward = {kHelpButton,    kExitButton,          kResultListBox, kGoButton,
                               kSearchForEdit, kIncludeSubdirsCheck, kBrowseButton,  kSearchInEdit};
  EXPECT_EQ(seen, backward);
}

TEST_F(QtWindowTest, TypingStopsAtTheLimitButTheProgramsTextIsNotCut) {
  const struct {
    int Id;
    int Limit;
  } cases[] = {{kSearchInEdit, kSearchInLimit}, {kSearchForEdit, kSearchForLimit}};
  char text[1024];
  for (const auto& c : cases) {
    auto* edit = static_cast<QLineEdit*>(ControlWidget(c.Id));
    SetControlFocus(c.Id);
    QTest::keyClicks(edit, QString(c.Limit + 5, QLatin1Char('a')));
    EXPECT_EQ(GetControlText(c.Id, text, sizeof text), c.Limit) << c.Id;

    std::string longer(c.Limit + 40, 'b');
    SetControlText(c.Id, longer.c_str());
    EXPECT_EQ(GetControlText(c.Id, text, sizeof text), c.Limit + 40) << c.Id;
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("cc"));
    EXPECT_EQ(GetControlText(c.Id, text, sizeof text), c.Limit + 40) << "grew past the limit";
    // Once shortened below the limit, typing is allowed again up to the limit.
    SetControlText(c.Id, "");
    QTest::keyClicks(edit, QString(c.Limit + 1, QLatin1Char('d')));
    EXPECT_EQ(GetControlText(c.Id, text, sizeof text), c.Limit) << c.Id;
  }
  // A text is cut to the buffer it is copied into, between two characters.
  SetControlText(kSearchInEdit, "abcdef");
  EXPECT_EQ(GetControlText(kSearchInEdit, text, 4), 3);
  EXPECT_STREQ(text, "abc");
  // The limit counts characters, whatever their bytes.
  auto* edit = static_cast<QLineEdit*>(ControlWidget(kSearchForEdit));
  SetControlText(kSearchForEdit, "");
  SetControlFocus(kSearchForEdit);
  edit->insert(QString(kSearchForLimit + 5, QChar(0x416)));  // as typed or pasted
  EXPECT_EQ(GetControlText(kSearchForEdit, text, sizeof text), 2 * kSearchForLimit);
  EXPECT_EQ(GetControlText(kSearchForEdit, text, 4), 2);
  EXPECT_STREQ(text, "\xd0\x96");
}

TEST_F(QtWindowTest, TextsTravelInTheLocalEncoding) {
  const char* name = "/tmp/caf\xc3\xa9 <b>&amp;.txt";  // UTF-8, with markup that stays text
  SetControlText(kStatusLine, name);
  char text[256];
  GetControlText(kStatusLine, text, sizeof text);
  EXPECT_STREQ(text, name);
  EXPECT_EQ(static_cast<QLabel*>(ControlWidget(kStatusLine))->textFormat(), Qt::PlainText);
}

TEST_F(QtWindowTest, CheckBoxTogglesItselfAndSendsItsCommand) {
  EXPECT_EQ(GetCheckState(kIncludeSubdirsCheck), 0);
  QTest::mouseClick(ControlWidget(kIncludeSubdirsCheck), Qt::LeftButton);
  EXPECT_EQ(GetCheckState(kIncludeSubdirsCheck), 1);
  EXPECT_TRUE(WasSent(kMsgCommand, MakeCommand(kIncludeSubdirsCheck, kNotifyClicked)));
  QTest::keyClick(ControlWidget(kIncludeSubdirsCheck), Qt::Key_Space);
  EXPECT_EQ(GetCheckState(kIncludeSubdirsCheck), 0);
}

TEST_F(QtWindowTest, ListBoxKeepsLinesInOrderAndReportsSelectionAndDoubleClick) {
  for (const char* line : {"zeta", "alpha", "mid"}) ListBoxAddLine(kResultListBox, line);
  EXPECT_EQ(ListBoxCount(kResultListBox), 3);
  char text[16];
  EXPECT_EQ(ListBoxGetText(kResultListBox, 0, text, sizeof text), 4);
  EXPECT_STREQ(text, "zeta");
  EXPECT_EQ(ListBoxGetText(kResultListBox, 3, text, sizeof text), -1);
  EXPECT_EQ(ListBoxGetSelection(kResultListBox), -1);

  auto* view = static_cast<QListView*>(ControlWidget(kResultListBox));
  QModelIndex secondIndex = view->model()->index(1, 0);
  ASSERT_TRUE(PumpUntil([&] { return !view->visualRect(secondIndex).isEmpty(); }, kPatienceMs));
  QRect second = view->visualRect(secondIndex);
  // What a double-click sends: press, release, double-click, release.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
  EXPECT_EQ(ListBoxGetSelection(kResultListBox), 1);
  EXPECT_TRUE(WasSent(kMsgCommand, MakeCommand(kResultListBox, kNotifyDoubleClicked)));

  ListBoxDeleteLine(kResultListBox, 1);
  EXPECT_EQ(ListBoxCount(kResultListBox), 2);
  EXPECT_EQ(view->model()->rowCount(), 2);
  EXPECT_EQ(ListBoxGetSelection(kResultListBox), -1);
  ListBoxGetText(kResultListBox, 1, text, sizeof text);
  EXPECT_STREQ(text, "mid");
  ListBoxReset(kResultListBox);
  EXPECT_EQ(ListBoxCount(kResultListBox), 0);
  EXPECT_EQ(view->model()->rowCount(), 0);
}

TEST_F(QtWindowTest, TabStopsLineTheColumnsUpUnderTheHeading) {
  auto* view = static_cast<QListView*>(ControlWidget(kResultListBox));
  double average = QtAverageLetterWidth(view->fontMetrics());
  std::vector<int> expected;
  for (int units : {62, 122, 164})
    expected.push_back(static_cast<int>(std::lround(units * average / 4)));
  EXPECT_EQ(QtTabStopPixels(), expected);
  // Each caption of the heading starts within one average character of its column.
  QFontMetrics heading = ControlWidget(kColumnHeading)->fontMetrics();
  QString text = QString::fromLatin1(kTestHeading);
  int listTextLeft = view->mapTo(QtMainWindow(), view->viewport()->pos()).x() + 2 -
                     ControlWidget(kColumnHeading)->x();
  const char* captions[] = {"File:", "Line:", "File size:"};
  for (int i = 0; i < 3; ++i) {
    int caption = heading.horizontalAdvance(text.left(text.indexOf(QLatin1String(captions[i]))));
    EXPECT_NEAR(caption, listTextLeft + expected[i], average) << captions[i];
  }
}

TEST_F(QtWindowTest, HorizontalScrollBarShowsOnlyForAWideExtent) {
  auto* view = static_cast<QListView*>(ControlWidget(kResultListBox));
  ListBoxAddLine(kResultListBox, "word\tfile\t1 (1%)\t1 KB");
  EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  // The view lays itself out later: each extent is waited for by what it must bring about,
  // the wide one first so that the narrow one has a bar to take away.
  QScrollBar* bar = view->horizontalScrollBar();
  ListBoxSetHorizontalExtent(kResultListBox, 600);
  ASSERT_TRUE(PumpUntil([&] { return bar->isVisible(); }, kPatienceMs));
  EXPECT_EQ(bar->maximum(), 600 - view->viewport()->width());
  ListBoxSetHorizontalExtent(kResultListBox, 250);
  EXPECT_TRUE(PumpUntil([&] { return !bar->isVisible(); }, kPatienceMs));
}

TEST_F(QtWindowTest, ClosingAsksTheProcedureAndLeavesTheWindowStanding) {
  QtMainWindow()->close();
  EXPECT_TRUE(WasSent(kMsgClose, 0));
  EXPECT_TRUE(QtMainWindow()->isVisible());
  // The window menu's Close goes the same way, through the default handling.
  Recorded().clear();
  QList<QAction*> actions = QtMainWindow()->WindowMenu()->actions();
  for (QAction* action : actions) {
    if (action->text() == QStringLiteral("&Close")) action->trigger();
  }
  EXPECT_TRUE(WasSent(kMsgClose, 0));
  DestroyMainWindow();
  EXPECT_TRUE(WasSent(kMsgDestroy, 0));
  EXPECT_EQ(QtMainWindow(), nullptr);
}

TEST_F(QtWindowTest, WindowMenuEndsWithTheAboutItemAndTheCheckItemUnderIt) {
  QList<QAction*> actions = QtMainWindow()->WindowMenu()->actions();
  ASSERT_GE(actions.size(), 3);
  EXPECT_TRUE(actions[actions.size() - 3]->isSeparator());
  QAction* about = actions[actions.size() - 2];
  EXPECT_EQ(about->text(), QStringLiteral("&About Tessik"));
  about->trigger();
  EXPECT_TRUE(WasSent(kMsgSysCommand, kAboutItem));

  // The check mark is the program's to set: a choice only tells the procedure.
  QAction* method = actions.last();
  EXPECT_EQ(method->text(), QStringLiteral("&Daitch-Mokotoff Soundex"));
  EXPECT_TRUE(method->isCheckable());
  EXPECT_FALSE(method->isChecked());
  CheckSystemMenuItem(kDaitchMokotoffItem, true);
  EXPECT_TRUE(method->isChecked());
  method->trigger();
  EXPECT_TRUE(WasSent(kMsgSysCommand, kDaitchMokotoffItem));
  EXPECT_TRUE(method->isChecked());
  CheckSystemMenuItem(kDaitchMokotoffItem, false);
  EXPECT_FALSE(method->isChecked());
}

TEST_F(QtWindowTest, QuitEndsTheLoopWithItsCode) {
  PostQuit(7);
  EXPECT_EQ(RunMessageLoop(), 7);
  QTimer::singleShot(10, [] { PostQuit(3); });
  EXPECT_EQ(RunMessageLoop(), 3);
}

}  // namespace
