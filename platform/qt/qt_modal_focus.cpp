#include "platform/qt/qt_modal_focus.h"

#include <QApplication>

#include "platform/qt/qt_main_window.h"

QtModalFocus::QtModalFocus() {
  QWidget* focused = QApplication::focusWidget();
  if (focused != nullptr && focused->window() == QtMainWindow()) control_ = focused;
}

QtModalFocus::~QtModalFocus() {
  QtMainWidget* window = QtMainWindow();
  if (window == nullptr || !window->isVisible()) return;
  // The window gives the focus to its last focused control as it becomes active; the
  // control is named as well in case the window had another one in mind meanwhile.
  if (control_ != nullptr && control_->window() == window && control_->isEnabled()) {
    control_->setFocus(Qt::OtherFocusReason);
  }
  window->activateWindow();
}
