// The style of the main window's controls: the application's own, except that a control
// with the keyboard focus always shows it with a dotted rectangle, as the controls of a
// dialog on Windows do. The application's style shows it only after a Tab, and then not
// at all on the default button. Window thread only.
#pragma once

class QStyle;

// One style shared by every control, made on first use and kept by the application.
QStyle* QtControlStyle();
