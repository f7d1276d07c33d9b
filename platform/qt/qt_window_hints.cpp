#include "platform/qt/qt_window_hints.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(TESSIK_WITH_XCB) && QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>

namespace {

// The Motif window manager hints: which fields are given, then the functions the window
// manager offers and the decorations it draws.
constexpr std::uint32_t kGivesFunctions = 1;
constexpr std::uint32_t kGivesDecorations = 2;
constexpr std::uint32_t kMove = 4;
constexpr std::uint32_t kMinimize = 8;
constexpr std::uint32_t kClose = 32;
constexpr std::uint32_t kBorder = 2;
constexpr std::uint32_t kTitle = 8;
constexpr std::uint32_t kMenu = 16;
constexpr std::uint32_t kMinimizeButton = 32;

}  // namespace

void QtDeclareFixedWindow(QWidget* window) {
  // The offscreen platform answers to the X11 interface too, without a connection.
  if (window == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr) return;
  static const char kName[] = "_MOTIF_WM_HINTS";
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
  if (atom == nullptr) return;
  // No resizing and no maximize button; the title bar, its menu, minimize and close stay.
  const std::uint32_t hints[5] = {kGivesFunctions | kGivesDecorations, kMove | kMinimize | kClose,
                                  kBorder | kTitle | kMenu | kMinimizeButton, 0, 0};
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window->winId()),
                      atom->atom, atom->atom, 32, 5, hints);
  xcb_flush(connection);
  std::free(atom);
}

#else

void QtDeclareFixedWindow(QWidget*) {}

#endif
