// The state the Qt window keeps between calls: the application, the main window, its
// controls by identifier and the window procedure. Window thread only; the worker reaches
// it solely through the calls that qt_window_thread.h carries over.
#pragma once

#include <QWidget>
#include <cstdint>

#include "platform/window.h"

struct QtControl {
  ControlKind Kind;
  QWidget* Widget;
  int TypingLimit;  // edit fields: characters the user may type; 0 for none
};

class QtMainWidget;

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
