#include "platform/qt/qt_focus_style.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

class FocusStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element == PE_FrameFocusRect) {
      DrawDottedFrame(option, painter);
      return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
  }

  // The check box and the list's lines ask for their focus frame themselves; a push
  // button in this style does not.
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_PushButton || (option->state & State_HasFocus) == 0) return;
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(*option);
    focus.rect = subElementRect(SE_PushButtonFocusRect, option, widget);
    drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
  }

 private:
  // Every other pixel of the rectangle's edge, in black or white against the background.
  static void DrawDottedFrame(const QStyleOption* option, QPainter* painter) {
    QColor color = option->palette.color(QPalette::WindowText);
    if (const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option)) {
      if (focus->backgroundColor.isValid()) {
        color = focus->backgroundColor.value() >= 128 ? Qt::black : Qt::white;
      }
    }
    const QRect& r = option->rect;
    if (r.width() <= 0 || r.height() <= 0) return;
    QBrush dots(color, Qt::Dense4Pattern);
    painter->save();
    painter->setBrushOrigin(r.topLeft());
    painter->fillRect(QRect(r.left(), r.top(), r.width(), 1), dots);
    painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), dots);
    painter->fillRect(QRect(r.left(), r.top(), 1, r.height()), dots);
    painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), dots);
    painter->restore();
  }
};

}  // namespace

QStyle* QtControlStyle() {
  static QPointer<QStyle> style;
  if (style == nullptr) {
    // A fresh instance of the application's style to build on: a proxy owns its base.
    style = new FocusStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(QApplication::instance());
  }
  return style;
}
