// Helpers for the tests of the Qt window: the control table of the main window, a window
// procedure that records what it is sent, and waiting on the event loop. Test thread only
// (it is the window thread).
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window.h"

struct RecordedMessage {
  std::uint32_t Message;
  std::uintptr_t WParam;
};

extern const ControlRow kTestControls[16];
extern const char kTestHeading[];

// Records every message and hands it on to the default handling, except a close
// request, which it keeps (the window stays).
std::intptr_t RecordingProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
std::vector<RecordedMessage>& Recorded();
bool WasSent(std::uint32_t message, std::uintptr_t wParam);

// Creates, shows and activates the main window with the sixteen controls, the tab stops,
// the typing limits and the About item, and clears the record.
void CreateTestWindow();
QWidget* ControlWidget(int id);
// The text of a control, through the window services.
std::string ControlText(int id);

// Destroys the main window and delivers what that left pending (deferred deletions
// included), so the next test starts with none of it.
void DestroyTestWindow();
void DeliverPendingEvents();

// Answers the next modal window with `answer` once it is up.
void WhenModal(std::function<void(QWidget*)> answer);

// Runs the event loop until `control` has the keyboard focus, or for `ms` milliseconds
// (longer than moving the focus ever takes: only a control that never gets it runs into
// it). True when it has the focus.
bool WaitForFocus(QWidget* control, int ms = 10000);

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
bool PumpUntil(const std::function<bool()>& done, int ms = 5000);
