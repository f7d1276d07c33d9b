// The keyboard focus after a modal box or dialog: back on the control that had it, with no
// window manager to hand it back.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <string>

#include "platform/qt/qt_main_window.h"
#include "platform/window.h"
#include "qt/qt_test_support.h"
#include "support/test_support.h"
#include "ui/about.h"

namespace {

// The file dialogs keep their state in the user's Qt settings; the tests use none.
const TempTree settingsHome;
const bool freshSettings = setenv("XDG_CONFIG_HOME", settingsHome.Root().c_str(), 1) == 0;

// Closes the next modal window once it is up, as its Cancel or OK button would.
void CloseWhenModal() {
  WhenModal([](QWidget* modal) { modal->close(); });
}

const FileFilter kFilters[] = {{"All Files (*.*)", "*.*"}};

struct ModalCase {
  const char* Name;
  int FocusedId;
  std::function<void()> Show;
};

void PrintTo(const ModalCase& c, std::ostream* out) { *out << c.Name; }

class QtModalFocusTest : public testing::TestWithParam<ModalCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(freshSettings);
    CreateTestWindow();
  }
  void TearDown() override { DestroyTestWindow(); }
};

TEST_P(QtModalFocusTest, ClosingItGivesTheFocusBackToTheControlThatHadIt) {
  const ModalCase& c = GetParam();
  QWidget* control = ControlWidget(c.FocusedId);
  SetControlFocus(c.FocusedId);
  ASSERT_TRUE(WaitForFocus(control));
  CloseWhenModal();
  c.Show();
  EXPECT_TRUE(WaitForFocus(control))
      << "the focus is on "
      << (QApplication::focusWidget() != nullptr
              ? QApplication::focusWidget()->objectName().toStdString()
              : std::string("nothing"));
  EXPECT_TRUE(QtMainWindow()->isActiveWindow());
}

INSTANTIATE_TEST_SUITE_P(
    Modals, QtModalFocusTest,
    testing::Values(ModalCase{"AboutBox", kSearchForEdit, [] { ShowAbout(); }},
                    ModalCase{"ErrorBox", kGoButton,
                              [] {
                                ShowMessageBox(" Error", " File could not be created. ",
                                               MessageIcon::Error);
                              }},
                    ModalCase{"OpenDialog", kBrowseButton,
                              [] {
                                char path[510];
                                ShowOpenDialog(kFilters, 1, 1, path, sizeof path);
                              }},
                    ModalCase{"SaveDialog", kHelpButton,
                              [] {
                                char path[510];
                                ShowSaveDialog(kFilters, 1, 1, path, sizeof path);
                              }}),
    [](const testing::TestParamInfo<ModalCase>& info) { return std::string(info.param.Name); });

}  // namespace
