// The main window, its controls, its menu and the message loop on Qt Widgets.
#include "platform/qt/qt_main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <map>

#include "platform/qt/qt_focus_style.h"
#include "platform/qt/qt_label_texts.h"
#include "platform/qt/qt_result_list.h"
#include "platform/qt/qt_window_hints.h"
#include "platform/qt/qt_window_thread.h"
#include "platform/qt/resources/tessik_icon.xpm"
#include "platform/character_cut.h"
#include "platform/thread.h"
#include "platform/window.h"

namespace {

// The system commands the window menu sends besides the program's own items.
constexpr int kSysMinimize = 0xF020;
constexpr int kSysClose = 0xF060;

// The window never gets smaller than its controls: a tall title bar must not cut off
// the bottom row of buttons.
constexpr int kClientMargin = 6;

// QApplication keeps a reference to argc for its whole life.
int applicationArgc = 1;
char applicationName[] = "tessik";
char* applicationArgv[] = {applicationName, nullptr};

QtMainWidget* mainWidget = nullptr;
WindowProcedure procedure = nullptr;
std::map<int, QtControl> controls;
QWidget* lastInTabOrder = nullptr;
bool quitPosted = false;
int quitCode = 0;

void SendCommand(int id, std::uint32_t notification) {
  QtDeliver(kMsgCommand, MakeCommand(id, notification), 0);
}

void DropWindow() {
  QtDropResultList();
  QtForgetLabelTexts();
  QtForgetControls();
  lastInTabOrder = nullptr;
  procedure = nullptr;
}

}  // namespace

void QtEnsureApplication() {
  if (QApplication::instance() != nullptr) return;
  new QApplication(applicationArgc, applicationArgv);
  QApplication::setApplicationName(QStringLiteral("tessik"));
  // The name of the installed desktop entry, which a desktop matches with the window to
  // show its name and icon.
  QApplication::setDesktopFileName(QStringLiteral("io.github.tessik.Tessik"));
  // The window ends the program through its procedure, never by being closed.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setWindowIcon(QIcon(QPixmap(tessik_icon_xpm)));
  QtMakeWindowThreadBridge();
}

QtMainWidget* QtMainWindow() { return mainWidget; }

QtControl* QtFindControl(int id) {
  auto found = controls.find(id);
  return found == controls.end() ? nullptr : &found->second;
}

void QtForgetControls() { controls.clear(); }

void QtRememberControl(int id, const QtControl& control) { controls[id] = control; }

std::intptr_t QtDeliver(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
  WindowProcedure proc = procedure;
  if (proc == nullptr) return DefaultWindowProc(message, wParam, lParam);
  return proc(message, wParam, lParam);
}

QString QtFromLocal(const char* text) {
  return text != nullptr ? QString::fromLocal8Bit(text) : QString();
}

int QtCopyOut(const QByteArray& bytes, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  // What does not fit is left out whole characters at a time.
  const auto length = static_cast<int>(WholeCharactersWithin(bytes.constData(),
                                                             static_cast<std::size_t>(bytes.size()),
                                                             static_cast<std::size_t>(size - 1)));
  std::copy_n(bytes.constData(), length, buffer);
  buffer[length] = '\0';
  return length;
}

// --- the top-level widget ---

QtMainWidget::QtMainWidget(int x, int y, int outerWidth, int outerHeight)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      x_(x),
      y_(y),
      outerWidth_(outerWidth),
      outerHeight_(outerHeight) {
  // Made here, once every member is set: a new child already sends this widget events.
  menu_ = new QMenu(this);
  menu_->addAction(QStringLiteral("Mi&nimize"), [] { QtDeliver(kMsgSysCommand, kSysMinimize, 0); });
  menu_->addSeparator();
  QAction* close =
      menu_->addAction(QStringLiteral("&Close"), [] { QtDeliver(kMsgSysCommand, kSysClose, 0); });
  close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  close->setShortcutVisibleInContextMenu(true);
  // Where the window manager leaves them to the program, the keys of a window's system
  // menu: Alt+F4 closes, Alt+Space opens the menu.
  auto* closeKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
  QObject::connect(closeKey, &QShortcut::activated,
                   [] { QtDeliver(kMsgSysCommand, kSysClose, 0); });
  auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
  QObject::connect(menuKey, &QShortcut::activated,
                   [this] { ShowWindowMenu(mapToGlobal(QPoint(0, 0))); });
}

void QtMainWidget::AddMenuItem(const QString& text, int command) {
  menu_->addSeparator();
  menu_->addAction(text, [command] { QtDeliver(kMsgSysCommand, command, 0); });
}

void QtMainWidget::AddMenuCheckItem(const QString& text, int command, bool checked) {
  QAction* action = menu_->addAction(text);
  action->setCheckable(true);
  action->setChecked(checked);
  // The mark is the program's to set, as on Windows: Qt's own toggle is undone first.
  QObject::connect(action, &QAction::triggered, [action, command](bool toggled) {
    action->setChecked(!toggled);
    QtDeliver(kMsgSysCommand, command, 0);
  });
  checkItems_[command] = action;
}

void QtMainWidget::CheckMenuItem(int command, bool checked) {
  auto item = checkItems_.find(command);
  if (item != checkItems_.end()) item->second->setChecked(checked);
}

void QtMainWidget::ShowWindowMenu(const QPoint& globalPosition) { menu_->popup(globalPosition); }

void QtMainWidget::WatchKeys(QWidget* control) { control->installEventFilter(this); }

bool QtMainWidget::event(QEvent* event) {
  if (!fitted_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
                   event->type() == QEvent::Show)) {
    FitToFrame();
  }
  return QWidget::event(event);
}

// The program gives the outer size of the window; Qt sizes the client area. Once the
// window manager has framed the window, the client area shrinks by the frame.
void QtMainWidget::FitToFrame() {
  QRect frame = frameGeometry();
  QRect client = geometry();
  int frameWidth = frame.width() - client.width();
  int frameHeight = frame.height() - client.height();
  if (frameWidth <= 0 && frameHeight <= 0) return;
  fitted_ = true;
  QRect needed;
  for (QObject* child : children()) {
    if (auto* widget = qobject_cast<QWidget*>(child); widget != nullptr && !widget->isWindow()) {
      needed |= widget->geometry();
    }
  }
  int width = std::max(outerWidth_ - frameWidth, needed.right() + 1 + kClientMargin);
  int height = std::max(outerHeight_ - frameHeight, needed.bottom() + 1 + kClientMargin);
  setFixedSize(width, height);
  // move() places the frame on most platforms and the client area on some: correct it so
  // that the outer rectangle starts where the program asked.
  move(x_, y_);
  QPoint offset = QPoint(x_, y_) - frameGeometry().topLeft();
  if (!offset.isNull()) move(pos() + offset);
}

void QtMainWidget::closeEvent(QCloseEvent* event) {
  // The window procedure decides; it destroys the window when it agrees.
  event->ignore();
  QtDeliver(kMsgClose, 0, 0);
}

void QtMainWidget::contextMenuEvent(QContextMenuEvent* event) {
  ShowWindowMenu(event->globalPos());
}

// The dialog keys: Enter presses the focused push button, or else sends the default
// button's command (1) whatever control has the focus; Escape does nothing.
bool QtMainWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  if (modifiers != Qt::NoModifier) return false;
  if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QPushButton*>(watched)) {
      if (button->isEnabled()) button->click();
    } else {
      SendCommand(kGoButton, kNotifyClicked);
    }
    return true;
  }
  if (key->key() == Qt::Key_Escape) return true;
  return false;
}

// --- window.h ---

int CreateMainWindow(const char* title, int x, int y, int width, int height, WindowProcedure proc) {
  QtEnsureApplication();
  if (mainWidget != nullptr) {
    DropWindow();
    delete mainWidget;
    mainWidget = nullptr;
  }
  quitPosted = false;
  mainWidget = new QtMainWidget(x, y, width, height);
  mainWidget->setWindowTitle(QtFromLocal(title));
  mainWidget->setWindowIcon(QIcon(QPixmap(tessik_icon_xpm)));
  // Without a window manager's frame the outer size is the client size.
  mainWidget->setFixedSize(width, height);
  mainWidget->move(x, y);
  procedure = proc;
  return 0;
}

void SetMainWindowTitle(const char* title) {
  if (mainWidget != nullptr) mainWidget->setWindowTitle(QtFromLocal(title));
}

int CreateControl(const ControlRow& row) {
  if (mainWidget == nullptr) return -1;
  QString text = QtFromLocal(row.Text);
  QWidget* widget = nullptr;
  switch (row.Kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(text, mainWidget);
      label->setTextFormat(Qt::PlainText);  // file names are shown as they are
      label->setWordWrap(false);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setFocusPolicy(Qt::NoFocus);
      QtAddLabelText(row.Id, row.Text);
      widget = label;
      break;
    }
    case ControlKind::Edit: {
      auto* edit = new QLineEdit(text, mainWidget);
      int id = row.Id;
      // After the program set a longer text, typing may not grow it again until it is
      // back under the limit; the limit never cuts a text.
      QObject::connect(edit, &QLineEdit::textChanged, [edit, id] {
        QtControl* control = QtFindControl(id);
        if (control == nullptr || control->TypingLimit <= 0) return;
        int allowed = std::max(control->TypingLimit, static_cast<int>(edit->text().size()));
        if (edit->maxLength() > allowed) edit->setMaxLength(allowed);
      });
      widget = edit;
      break;
    }
    case ControlKind::PushButton:
    case ControlKind::DefaultButton: {
      auto* button = new QPushButton(text, mainWidget);
      if (row.Kind == ControlKind::DefaultButton) button->setDefault(true);
      int id = row.Id;
      QObject::connect(button, &QPushButton::clicked, [id] { SendCommand(id, kNotifyClicked); });
      widget = button;
      break;
    }
    case ControlKind::CheckBox: {
      auto* check = new QCheckBox(text, mainWidget);
      int id = row.Id;
      QObject::connect(check, &QCheckBox::clicked, [id] { SendCommand(id, kNotifyClicked); });
      widget = check;
      break;
    }
    case ControlKind::ListBox: {
      QtResultView* list = QtMakeResultList(mainWidget);
      int id = row.Id;
      QObject::connect(list, &QAbstractItemView::doubleClicked,
                       [id] { SendCommand(id, kNotifyDoubleClicked); });
      widget = list;
      break;
    }
  }
  if (widget == nullptr) return -1;
  widget->setObjectName(QStringLiteral("control%1").arg(row.Id));
  widget->setGeometry(row.X, row.Y, row.Width, row.Height);
  if (widget->focusPolicy() != Qt::NoFocus) {
    widget->setStyle(QtControlStyle());
    widget->setFocusPolicy(Qt::StrongFocus);
    if (lastInTabOrder != nullptr) QWidget::setTabOrder(lastInTabOrder, widget);
    lastInTabOrder = widget;
    mainWidget->WatchKeys(widget);
  }
  widget->show();
  QtRememberControl(row.Id, QtControl{row.Kind, widget, 0});
  return 0;
}

void AddSystemMenuItem(const char* text, int id) {
  if (mainWidget != nullptr) mainWidget->AddMenuItem(QtFromLocal(text), id);
}

void AddSystemMenuCheckItem(const char* text, int id, bool checked) {
  if (mainWidget != nullptr) mainWidget->AddMenuCheckItem(QtFromLocal(text), id, checked);
}

void CheckSystemMenuItem(int id, bool checked) {
  if (mainWidget != nullptr) mainWidget->CheckMenuItem(id, checked);
}

void ShowMainWindow() {
  if (mainWidget == nullptr) return;
  // The window exists from here on but is not mapped yet: a window manager reads the
  // hints once, as it takes the window on.
  mainWidget->winId();
  QtDeclareFixedWindow(mainWidget);
  mainWidget->show();
  mainWidget->raise();
  mainWidget->activateWindow();
}

int RunMessageLoop() {
  QtEnsureApplication();
  if (quitPosted) {
    // The quit came before the loop ran: nothing is left to wait for.
    quitPosted = false;
    return quitCode;
  }
  int code = QApplication::exec();
  quitPosted = false;
  return code;
}

void PostQuit(int exitCode) {
  if (QApplication::instance() == nullptr) return;
  quitPosted = true;
  quitCode = exitCode;
  QtPostToWindowThread([exitCode] {
    if (quitPosted) QApplication::exit(exitCode);
  });
}

void DestroyMainWindow() {
  if (mainWidget == nullptr) return;
  QtMainWidget* going = mainWidget;
  QtDeliver(kMsgDestroy, 0, 0);
  DropWindow();
  mainWidget = nullptr;
  going->hide();
  // It may be in the middle of its own close event.
  going->deleteLater();
}

std::intptr_t SendMainWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) {
  if (!OnWorkerThread()) return QtDeliver(message, wParam, lParam);
  QtCallResult result;
  if (!QtCarryOut([=](QtCallResult& out) { out.Value = QtDeliver(message, wParam, lParam); },
                  &result)) {
    return 0;
  }
  return result.Value;
}

std::intptr_t DefaultWindowProc(std::uint32_t message, std::uintptr_t wParam, std::intptr_t) {
  if (message == kMsgClose) {
    DestroyMainWindow();
  } else if (message == kMsgSysCommand) {
    int command = static_cast<int>(wParam & 0xFFF0u);
    if (command == kSysClose) {
      QtDeliver(kMsgClose, 0, 0);
    } else if (command == kSysMinimize && mainWidget != nullptr) {
      mainWidget->showMinimized();
    }
  }
  return 0;
}
