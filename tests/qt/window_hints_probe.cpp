// Prints what a window manager reads of a window's size and decorations: the minimum and
// maximum sizes of WM_NORMAL_HINTS and the Motif hints. For display_loss.sh, which checks
// them on the real window under a virtual X server (no xprop needed).
// Usage: window_hints_probe WINDOW-ID   (on the display in DISPLAY)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 1, std::strlen(name), name), nullptr);
  xcb_atom_t atom = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  std::free(reply);
  return atom;
}

std::vector<std::uint32_t> Property(xcb_connection_t* connection, xcb_window_t window,
                                    xcb_atom_t property) {
  std::vector<std::uint32_t> values;
  if (property == XCB_ATOM_NONE) return values;
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_ANY, 0, 32), nullptr);
  if (reply != nullptr && reply->format == 32) {
    const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    values.assign(data, data + xcb_get_property_value_length(reply) / 4);
  }
  std::free(reply);
  return values;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
    return 2;
  }
  auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection) != 0) {
    std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
    return 1;
  }
  // WM_SIZE_HINTS: flags, x, y, width, height, min width and height, max width and height...
  constexpr std::uint32_t kMinSize = 16;
  constexpr std::uint32_t kMaxSize = 32;
  std::vector<std::uint32_t> normal = Property(connection, window, XCB_ATOM_WM_NORMAL_HINTS);
  if (normal.size() >= 9) {
    if ((normal[0] & kMinSize) != 0) std::printf("min %u %u\n", normal[5], normal[6]);
    if ((normal[0] & kMaxSize) != 0) std::printf("max %u %u\n", normal[7], normal[8]);
  }
  // flags, functions, decorations, input mode, status
  std::vector<std::uint32_t> motif =
      Property(connection, window, Atom(connection, "_MOTIF_WM_HINTS"));
  if (motif.size() >= 3) std::printf("motif %u %u %u\n", motif[0], motif[1], motif[2]);
  xcb_disconnect(connection);
  return 0;
}
