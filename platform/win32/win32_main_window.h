// The main window on Win32: its class, its procedure, the message loop, and what the
// other Win32 modules of the window need of it. Window thread, except Win32MainWindow,
// which the worker reads to wake the window thread.
#pragma once

#include <windows.h>

// The main window, or null when there is none.
HWND Win32MainWindow();

// The control with identifier `id` of the main window, or null.
HWND Win32Control(int id);

// The main window's timer that ends a held drawing of the list box (win32_controls.cpp).
constexpr UINT_PTR kWin32ListDrawingTimer = 0x544C;  // 'T' 'L'

// Lines added to a list box in a burst are drawn together: the first one turns the list
// box's drawing off, and it comes back on, with the list box and its scroll bars drawn
// anew, when the timer goes off a few hundredths of a second later. ReleaseListDrawing
// does that at once; the other list operations call it first. ForgetListDrawing drops a
// held list box whose window is going.
void Win32ReleaseListDrawing();
void Win32ForgetListDrawing();
