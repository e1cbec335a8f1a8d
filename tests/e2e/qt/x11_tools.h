// What the X server and the window manager really did with the program's windows, read
// with the X tools a user would use (xwininfo, xprop, xdotool), and the window manager's
// close command sent as one. Only meaningful on Qt's xcb platform.
#pragma once
#include <QRect>
#include <QString>
#include <QVector>
#include <QWidget>
#include <cstdint>

// Whether the program runs on an X display (Qt's xcb platform).
bool OnX11();

// A top-level window as X sees it: the client area's place and size on the screen, and
// the frame around it from _NET_FRAME_EXTENTS (none without a window manager).
struct XWindowPlace {
  QRect client;
  int left = 0, right = 0, top = 0, bottom = 0;  // the frame's extents
  bool has_extents = false;
  QRect Frame() const {
    return client.adjusted(-left, -top, right, bottom);
  }
};
// False, with the reason, when the tools cannot read it.
bool ReadPlace(WId window, XWindowPlace* place, QString* reason);

// _MOTIF_WM_HINTS of a window: flags, functions, decorations, input mode, status.
// Empty when the window has none.
QVector<uint32_t> MotifHintsOf(WId window, QString* reason);

// The gravity in WM_NORMAL_HINTS: "NorthWest" when the window's place is its frame's
// corner, "Static" when it is the client area's; "" if none is given.
QString WindowGravityOf(WId window, QString* reason);

// The work area the window manager announces (_NET_WORKAREA), else the whole screen.
QRect RootWorkArea(QString* reason);

// The visible top-level window of process `pid` named `name` exactly; 0 if none appears.
WId FindWindowOf(qint64 pid, const QString& name, QString* reason);

// Sends the window WM_DELETE_WINDOW, as a window manager's close command does.
bool SendDeleteWindow(WId window, QString* reason);

// Runs an X tool; its standard output, or false with the reason.
bool RunXTool(const QString& program, const QStringList& arguments, QString* output,
              QString* reason);
