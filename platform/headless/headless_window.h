// The window services in memory, the tests' twin of the window: controls, list boxes,
// message boxes and dialogs kept in a record (headless_record.h) instead of shown. A test
// gives the inputs through the calls below, on the thread that owns the window, and
// scripts and inspects the window through tests/support/headless_controls.h. Worker calls
// go through platform/window.h.
#pragma once

#include <string>

#include "platform/window.h"

struct RecordedMessageBox {
  std::string Title;
  std::string Text;
  MessageIcon Icon;
};

// Forgets every control, line, message and script; the next CreateMainWindow starts anew.
// The line sink stays as it is.
void HeadlessReset();

// Called on every line added to a list box, on the calling thread, as it is added.
using LineSink = void (*)(const char* line);
void HeadlessSetLineSink(LineSink sink);

// Sets the state of a check box, as the user would by clicking it.
void HeadlessSetCheck(int id, int state);
