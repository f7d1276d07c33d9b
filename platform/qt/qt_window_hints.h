// Tells an X11 window manager that the main window has a fixed size and no maximize
// button. Qt says so in the size hints, but its Motif hints always offer resizing, which
// some window managers follow. Elsewhere (Wayland, offscreen) it does nothing. Window
// thread only, before the window is shown.
#pragma once

class QWidget;

void QtDeclareFixedWindow(QWidget* window);
