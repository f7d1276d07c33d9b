// The main window on Win32: its class, its procedure, the message loop, and what the
// other Win32 modules of the window need of it. Window thread, except Win32MainWindow,
// which the worker reads to wake the window thread.
#pragma once

#include <windows.h>

// The main window, or null when there is none.
HWND Win32MainWindow();

// The control with identifier `id` of the main window, or null.
HWND Win32Control(int id);
