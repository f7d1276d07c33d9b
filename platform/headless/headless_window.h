// The window services in memory, for tessik-cli and the tests: controls, list boxes,
// message boxes and dialogs kept in a record (headless_record.h) instead of shown. A
// front end gives the inputs and takes the outputs through the calls below, on the
// thread that owns the window; the tests script and inspect the window through
// tests/support/headless_controls.h. Worker calls go through platform/window.h.
#pragma once

#include <string>

#include "platform/window.h"

struct RecordedMessageBox {
  std::string Title;
  std::string Text;
  MessageIcon Icon;
};

// Forgets every control, line, message and script; the next CreateMainWindow starts anew.
// The line and message sinks stay as they are.
void HeadlessReset();

// Called on every line added to a list box, on the calling thread, as it is added.
using LineSink = void (*)(const char* line);
void HeadlessSetLineSink(LineSink sink);

// Called with every message box as it is shown.
using MessageSink = void (*)(const RecordedMessageBox& box);
void HeadlessSetMessageSink(MessageSink sink);

// Sets the state of a check box, as the user would by clicking it.
void HeadlessSetCheck(int id, int state);

// Whether list boxes keep the texts of their lines, as they do until told otherwise (and
// again after HeadlessReset). A line whose text is not kept still counts (ListBoxCount,
// the status line) and still reaches the line sink, but ListBoxGetText fails for it as
// for a line beyond the list. Turning keeping off forgets the texts kept so far.
void HeadlessKeepLineTexts(bool keep);
