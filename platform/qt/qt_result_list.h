// The result list box: its lines, the model and view that show them, and the tab stops.
// Lines may be appended from the worker without a round trip to the window thread; they
// stand in the list at once (count and text) and the window thread hands them to the view
// in batches. Everything else here is for the window thread.
#pragma once

#include <QListView>
#include <vector>

// The view of the one result list box of the window.
class QtResultView : public QListView {
 public:
  explicit QtResultView(QWidget* parent);
  // Lays the lines out again after their width (the horizontal extent) changed.
  void Relayout();

 protected:
  void paintEvent(QPaintEvent* event) override;
};

QtResultView* QtMakeResultList(QWidget* parent);
// The window is going: the view and the lines go with it.
void QtDropResultList();

// Any thread. The index of the new line, or -1 when there is no list box.
int QtAppendLine(const char* text);
int QtLineCount();
// Copies at most size - 1 bytes of line `index`; its copied length, or -1 for no such line.
int QtLineText(int index, char* buffer, int size);

// Window thread: hands the lines appended so far to the view.
void QtFlushListLines();
void QtDeleteLine(int index);
void QtResetLines();
int QtSelectedLine();
void QtSetHorizontalExtent(int pixels);
// Tab stops in dialog units, turned into pixels with the view's average character width.
void QtSetTabStops(const int* stops, int count);
// The width of a dialog unit is a quarter of this.
double QtAverageLetterWidth(const QFontMetrics& metrics);
