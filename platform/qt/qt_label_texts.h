// The texts of the labels, the status line above all, kept beside their widgets so that
// the worker sets and reads them without waiting on the window thread: a text set stands
// at once for every reader, and the window thread paints it as soon as it comes to it.
// A search sets the status line once per file; waiting for the window every time would
// make a search of many small files several times slower than the search itself.
#pragma once

#include <QByteArray>

// Window thread: a label is made or the window goes.
void QtAddLabelText(int id, const char* text);
void QtForgetLabelTexts();

// Any thread. False when `id` is not a label (the caller then goes to the window thread).
bool QtSetLabelText(int id, const char* text);
bool QtGetLabelText(int id, QByteArray* text);
