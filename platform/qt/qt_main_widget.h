// The top-level widget of the main window: it turns the window's close request, its
// menu and the dialog keys (Enter, Escape) into messages for the window procedure.
// Window thread only.
#pragma once

#include <QWidget>

class QMenu;

class QtMainWidget : public QWidget {
 public:
  // The outer rectangle the program asks for; the client area is what the frame leaves.
  QtMainWidget(int x, int y, int outerWidth, int outerHeight);

  // Appends a separator and an item that sends `command` as a system command.
  void AddMenuItem(const QString& text, int command);
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
  int x_;
  int y_;
  int outerWidth_;
  int outerHeight_;
  bool fitted_ = false;
};
