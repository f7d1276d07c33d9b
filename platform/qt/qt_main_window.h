// The main window on Qt Widgets: the state the backend keeps between calls (the
// application, the main window, its controls by identifier and the window procedure) and
// the top-level widget, which turns the window's close request, its menu and the dialog
// keys (Enter, Escape) into messages for the window procedure. Window thread only; the
// worker reaches it solely through the calls that qt_window_thread.h carries over.
#pragma once

#include <QWidget>

#include <cstdint>
#include <map>

#include "platform/window.h"

class QMenu;
class QtMainWidget;

struct QtControl {
  ControlKind Kind;
  QWidget* Widget;
  int TypingLimit;  // edit fields: characters the user may type; 0 for none
};

// Creates the QApplication on first use (the program has no arguments to give it).
void QtEnsureApplication();

QtMainWidget* QtMainWindow();  // nullptr when there is none
QtControl* QtFindControl(int id);
void QtForgetControls();
void QtRememberControl(int id, const QtControl& control);

// Delivers a message to the window procedure on the window thread.
std::intptr_t QtDeliver(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// Text conversions between the engine's 8-bit texts and Qt.
QString QtFromLocal(const char* text);
// Copies at most size - 1 bytes and a terminator; returns the count copied.
int QtCopyOut(const QByteArray& bytes, char* buffer, int size);

class QtMainWidget : public QWidget {
 public:
  // The outer rectangle the program asks for; the client area is what the frame leaves.
  QtMainWidget(int x, int y, int outerWidth, int outerHeight);

  // Appends a separator and an item that sends `command` as a system command.
  void AddMenuItem(const QString& text, int command);
  void AddMenuCheckItem(const QString& text, int command, bool checked);
  void CheckMenuItem(int command, bool checked);
  // The window menu (what the system menu of the window offers), at a global position.
  void ShowWindowMenu(const QPoint& globalPosition);
  QMenu* WindowMenu() const { return menu_; }

  // Watches a control for Enter and Escape.
  void WatchKeys(QWidget* control);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FitToFrame();

  QMenu* menu_ = nullptr;
  std::map<int, QAction*> checkItems_;
  int x_;
  int y_;
  int outerWidth_;
  int outerHeight_;
  bool fitted_ = false;
};
