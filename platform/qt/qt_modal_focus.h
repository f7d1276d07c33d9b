// Gives the keyboard focus back to the main window's control that had it once a modal box
// or dialog has gone. A window manager re-activates the owner of a closed dialog; without
// one nothing does, and the keys would go nowhere until a click. Window thread only.
#pragma once

#include <QPointer>
#include <QWidget>

// Notes the focused control when made and gives it the focus again when it goes.
class QtModalFocus {
 public:
  QtModalFocus();
  ~QtModalFocus();
  QtModalFocus(const QtModalFocus&) = delete;
  QtModalFocus& operator=(const QtModalFocus&) = delete;

 private:
  QPointer<QWidget> control_;
};
