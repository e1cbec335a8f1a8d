// Writes the _MOTIF_WM_HINTS property of a top-level window on X11. Qt writes one of its
// own from the window flags, but it cannot say "move only" with a border and title, so
// this one replaces it before the window manager first reads it (at the window's map).
#include "ui/qt/motif_hints.h"

#include <QGuiApplication>
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// The Motif window manager hints: five 32-bit fields, as window managers read them.
constexpr uint32_t kHintFunctions = 1u << 0;
constexpr uint32_t kHintDecorations = 1u << 1;
constexpr uint32_t kFunctionMove = 1u << 2;
constexpr uint32_t kDecorationBorder = 1u << 1;
constexpr uint32_t kDecorationTitle = 1u << 3;
constexpr const char* kMotifHintsAtom = "_MOTIF_WM_HINTS";
constexpr const char* kX11Platform = "xcb";

struct MotifHints {
  uint32_t flags;
  uint32_t functions;
  uint32_t decorations;
  int32_t input_mode;
  uint32_t status;
};

xcb_atom_t AtomNamed(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  if (reply == nullptr) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

}  // namespace

bool AskForCaptionOnly(QWidget* window) {
  // The offscreen platform answers to the X11 interface too, with no connection.
  if (qGuiApp == nullptr || QGuiApplication::platformName() != kX11Platform) return false;
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
  if (connection == nullptr || window == nullptr || !window->isWindow()) return false;
  const xcb_atom_t atom = AtomNamed(connection, kMotifHintsAtom);
  if (atom == XCB_ATOM_NONE) return false;
  const MotifHints hints = {kHintFunctions | kHintDecorations, kFunctionMove,
                            kDecorationBorder | kDecorationTitle, 0, 0};
  const auto native = static_cast<xcb_window_t>(window->winId());
  const xcb_void_cookie_t written = xcb_change_property_checked(
      connection, XCB_PROP_MODE_REPLACE, native, atom, atom, 32,
      sizeof(hints) / sizeof(uint32_t), &hints);
  xcb_generic_error_t* error = xcb_request_check(connection, written);
  const bool done = error == nullptr;
  std::free(error);
  return done;
}
