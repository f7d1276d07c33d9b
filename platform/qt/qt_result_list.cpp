#include "platform/qt/qt_result_list.h"

#include <QAbstractItemDelegate>
#include <QAbstractListModel>
#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOption>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <string>
#include <vector>

#include "platform/qt/qt_result_list_testing.h"
#include "platform/qt/qt_window_thread.h"
#include "platform/thread.h"

namespace {

// Lines reach the view at most this long after the worker added them: often enough to
// look live, seldom enough that a long search does not spend its time relaying the view.
constexpr int kFlushDelayMs = 30;
// Room left of the text, and the tab interval beyond the last stop, as a list box has them.
constexpr int kTextMargin = 2;
constexpr int kDefaultTabDialogUnits = 32;

std::mutex linesMutex;
std::vector<std::string> lines;  // guarded by linesMutex
bool listExists = false;         // guarded by linesMutex
std::atomic<bool> flushScheduled{false};

// Window thread only.
int horizontalExtent = 0;
std::vector<int> tabStopPixels;
int defaultTabPixels = 0;

class ResultModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : shown_; }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    std::lock_guard<std::mutex> lock(linesMutex);
    if (index.row() >= static_cast<int>(lines.size())) return {};
    return QString::fromLocal8Bit(lines[index.row()]);
  }

  void ShowUpTo(int count) {
    if (count <= shown_) return;
    beginInsertRows(QModelIndex(), shown_, count - 1);
    shown_ = count;
    endInsertRows();
  }

  void RemoveRow(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    {
      std::lock_guard<std::mutex> lock(linesMutex);
      lines.erase(lines.begin() + row);
    }
    --shown_;
    endRemoveRows();
  }

  void RemoveAll() {
    beginResetModel();
    {
      std::lock_guard<std::mutex> lock(linesMutex);
      lines.clear();
    }
    shown_ = 0;
    endResetModel();
  }

  int Shown() const { return shown_; }

 private:
  int shown_ = 0;  // rows the view knows of; the rest of `lines` is still to be announced
};

int NextTabStop(int position) {
  if (tabStopPixels.size() == 1 && tabStopPixels[0] > 0) {
    return (position / tabStopPixels[0] + 1) * tabStopPixels[0];
  }
  for (int stop : tabStopPixels) {
    if (stop > position) return stop;
  }
  int interval = std::max(defaultTabPixels, 1);
  return (position / interval + 1) * interval;
}

// Paints a line with its tabs expanded to the tab stops, clipped like a list box line.
class TabbedLineDelegate : public QAbstractItemDelegate {
 public:
  using QAbstractItemDelegate::QAbstractItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    painter->save();
    painter->setClipRect(option.rect);
    bool selected = (option.state & QStyle::State_Selected) != 0;
    QPalette::ColorGroup group =
        (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    if (selected) painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
    painter->setPen(
        option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    QFontMetrics metrics(option.font);
    QString text = index.data(Qt::DisplayRole).toString();
    int left = option.rect.left() + kTextMargin;
    int x = left;
    int baseline = option.rect.top() + metrics.ascent();
    qsizetype start = 0;
    for (;;) {
      qsizetype tab = text.indexOf(QLatin1Char('\t'), start);
      QString part = text.mid(start, tab < 0 ? -1 : tab - start);
      painter->drawText(QPoint(x, baseline), part);
      if (tab < 0) break;
      x = left + NextTabStop(x + metrics.horizontalAdvance(part) - left);
      start = tab + 1;
    }
    if ((option.state & QStyle::State_HasFocus) != 0) {
      QStyleOptionFocusRect focus;
      focus.QStyleOption::operator=(option);
      focus.backgroundColor =
          option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
      const QWidget* widget = option.widget;
      QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
      style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    int width = horizontalExtent;
    if (auto* view = qobject_cast<const QAbstractItemView*>(option.widget)) {
      width = std::max(width, view->viewport()->width());
    }
    return QSize(width, QFontMetrics(option.font).height());
  }
};

QtResultView* view = nullptr;  // window thread only
ResultModel* model = nullptr;

}  // namespace

QtResultView::QtResultView(QWidget* parent) : QListView(parent) {}

void QtResultView::Relayout() {
  scheduleDelayedItemsLayout();
  viewport()->update();
}

// A list box with the focus shows it on its current line, and with no current line (empty,
// or filled after it took the focus) on the line at the top of the view.
void QtResultView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  if (!hasFocus() || currentIndex().isValid()) return;
  QPainter painter(viewport());
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  focus.rect = QRect(0, 0, viewport()->width(), fontMetrics().height());
  focus.backgroundColor = palette().color(QPalette::Base);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

QtResultView* QtMakeResultList(QWidget* parent) {
  QtDropResultList();
  view = new QtResultView(parent);
  model = new ResultModel(view);
  view->setModel(model);
  view->setItemDelegate(new TabbedLineDelegate(view));
  view->setUniformItemSizes(true);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  view->setTabKeyNavigation(false);
  horizontalExtent = 0;
  tabStopPixels.clear();
  defaultTabPixels = static_cast<int>(
      std::lround(kDefaultTabDialogUnits * QtAverageLetterWidth(view->fontMetrics()) / 4));
  std::lock_guard<std::mutex> lock(linesMutex);
  lines.clear();
  listExists = true;
  return view;
}

void QtDropResultList() {
  {
    std::lock_guard<std::mutex> lock(linesMutex);
    lines.clear();
    listExists = false;
  }
  // The view goes with its window; the model is its child.
  view = nullptr;
  model = nullptr;
}

int QtAppendLine(const char* text) {
  int index;
  {
    std::lock_guard<std::mutex> lock(linesMutex);
    if (!listExists) return -1;
    lines.emplace_back(text != nullptr ? text : "");
    index = static_cast<int>(lines.size()) - 1;
  }
  if (!OnWorkerThread()) {
    QtFlushListLines();
  } else if (!flushScheduled.exchange(true)) {
    QtPostToWindowThread([] { QTimer::singleShot(kFlushDelayMs, [] { QtFlushListLines(); }); });
  }
  return index;
}

int QtLineCount() {
  std::lock_guard<std::mutex> lock(linesMutex);
  return static_cast<int>(lines.size());
}

int QtLineText(int index, char* buffer, int size) {
  std::lock_guard<std::mutex> lock(linesMutex);
  if (index < 0 || index >= static_cast<int>(lines.size())) return -1;
  if (buffer == nullptr || size <= 0) return 0;
  const std::string& line = lines[index];
  int length = std::min(static_cast<int>(line.size()), size - 1);
  line.copy(buffer, length);
  buffer[length] = '\0';
  return length;
}

void QtFlushListLines() {
  // Cleared before the count is read, so a line appended meanwhile schedules its own flush.
  flushScheduled.store(false);
  if (model == nullptr) return;
  model->ShowUpTo(QtLineCount());
}

int QtShownLineCount() { return model != nullptr ? model->Shown() : 0; }

void QtDeleteLine(int index) {
  if (model == nullptr) return;
  QtFlushListLines();
  if (index < 0 || index >= model->Shown()) return;
  // A list box loses its selection with the selected line; the view would move it on
  // to the next line, and a second Del would take that one too.
  bool wasSelected = QtSelectedLine() == index;
  model->RemoveRow(index);
  if (wasSelected && view->selectionModel() != nullptr) view->selectionModel()->clearSelection();
}

void QtResetLines() {
  if (model == nullptr) return;
  model->RemoveAll();
}

int QtSelectedLine() {
  if (view == nullptr || view->selectionModel() == nullptr) return -1;
  QModelIndexList selected = view->selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.first().row();
}

void QtSetHorizontalExtent(int pixels) {
  if (view == nullptr) return;
  horizontalExtent = std::max(pixels, 0);
  view->Relayout();
}

// A dialog unit is a quarter of the average width of the letters a to z and A to Z, as
// dialog base units are measured. The font's own average character width is narrower
// than its letters, and stops measured with it fall short of the heading's captions.
double QtAverageLetterWidth(const QFontMetrics& metrics) {
  static const QString letters =
      QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
  return metrics.horizontalAdvance(letters) / 52.0;
}

void QtSetTabStops(const int* stops, int count) {
  if (view == nullptr) return;
  double average = QtAverageLetterWidth(view->fontMetrics());
  tabStopPixels.clear();
  for (int i = 0; stops != nullptr && i < count; ++i) {
    tabStopPixels.push_back(static_cast<int>(std::lround(stops[i] * average / 4)));
  }
  view->viewport()->update();
}

std::vector<int> QtTabStopPixels() { return tabStopPixels; }
