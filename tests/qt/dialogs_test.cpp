// The message box and the file dialogs of the Qt window, answered as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <string>

#include "platform/qt/qt_main_window.h"
#include "platform/window.h"
#include "qt/qt_test_support.h"
#include "support/test_support.h"

namespace {

const FileFilter kOpenFilters[] = {
    {"Text Files (*.txt,*.doc,*.wri,*.wpd,*.log,*.rtf)", "*.TXT;*.DOC;*.WRI;*.WPD;*.LOG;*.RTF"},
    {"All Files (*.*)", "*.*"}};
const FileFilter kSaveFilters[] = {{"Log Files (*.log)", "*.log"}, {"All Files (*.*)", "*.*"}};

class QtDialogsTest : public testing::Test {
 protected:
  void SetUp() override { CreateTestWindow(); }
  void TearDown() override { DestroyTestWindow(); }
  TempTree tree_;
};

TEST_F(QtDialogsTest, MessageBoxShowsTitleTextAndIconAsGiven) {
  const char* text = "A logical operator cannot be followed\nby another logical operator.    ";
  QString title, body;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    body = box->text();
    icon = box->icon();
    EXPECT_EQ(box->parentWidget(), static_cast<QWidget*>(QtMainWindow()));
    box->accept();
  });
  ShowMessageBox(" Error", text, MessageIcon::Error);
  EXPECT_EQ(title, QStringLiteral(" Error"));
  EXPECT_EQ(body, QString::fromLatin1(text));
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST_F(QtDialogsTest, SaveKeepsANameWithoutExtensionAndTheNextDialogOpensThere) {
  std::string typed = tree_.Path("results");
  QStringList filters;
  QString selected;
  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    filters = dialog->nameFilters();
    selected = dialog->selectedNameFilter();
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
    dialog->selectFile(QString::fromStdString(typed));
    static_cast<QDialog*>(dialog)->accept();  // as the OK button does
  });
  char path[510];
  ASSERT_EQ(ShowSaveDialog(kSaveFilters, 2, 1, path, sizeof path), 0);
  EXPECT_EQ(std::string(path), typed);
  ASSERT_EQ(filters.size(), 2);
  // The dialog shows the descriptions only; they name the patterns already.
  EXPECT_EQ(selected, QStringLiteral("Log Files (*.log)"));
  EXPECT_TRUE(filters[0].startsWith(QStringLiteral("Log Files (*.log) (")));

  // Once the program has written the file, the open dialog starts in its folder, with the
  // second filter chosen, whose "*.*" takes names with or without a dot.
  RememberDialogFolder(path);
  tree_.WriteFile("notes.TXT", "x");
  QString folder;
  WhenModal([&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(dialog, nullptr);
    folder = dialog->directory().absolutePath() + QLatin1Char('/');
    filters = dialog->nameFilters();
    selected = dialog->selectedNameFilter();
    dialog->selectFile(QString::fromStdString(tree_.Path("notes.TXT")));
    static_cast<QDialog*>(dialog)->accept();  // as the OK button does
  });
  ASSERT_EQ(ShowOpenDialog(kOpenFilters, 2, 2, path, sizeof path), 0);
  EXPECT_EQ(std::string(path), tree_.Path("notes.TXT"));
  EXPECT_EQ(folder.toStdString(), tree_.Root());
  ASSERT_EQ(filters.size(), 2);
  EXPECT_EQ(selected, QStringLiteral("All Files (*.*)"));
  EXPECT_EQ(filters[1], QStringLiteral("All Files (*.*) (*)"));
  // Upper-case patterns take lower-case names too.
  EXPECT_TRUE(filters[0].contains(QStringLiteral("*.[tT][xX][tT]"))) << filters[0].toStdString();
}

TEST_F(QtDialogsTest, APathLongerThanTheBufferFailsRatherThanBeingCut) {
  std::string typed = tree_.Path(std::string(120, 'n') + ".log");
  WhenModal([&](QWidget* modal) {
    auto* dialog = static_cast<QFileDialog*>(modal);
    dialog->selectFile(QString::fromStdString(typed));
    static_cast<QDialog*>(dialog)->accept();  // as the OK button does
  });
  char path[64];
  EXPECT_EQ(ShowSaveDialog(kSaveFilters, 2, 1, path, sizeof path), -1);
  EXPECT_STREQ(path, "");
}

}  // namespace
