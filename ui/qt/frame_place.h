// Top-level windows are placed by their outer frame, as on Windows: the corner that a
// caller names is the corner of the frame the window manager draws, not of the client
// area inside it.
#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>

// The primary screen's work area; empty without a screen.
QRect WorkArea();
// A frame of that outer size centred in the work area, as the dialog manager centres a
// dialog: never above or left of the screen's corner.
QPoint CentredInWorkArea(QSize outer);

// Where the frame's top-left corner goes, given the frame's outer size.
using FrameCorner = std::function<QPoint(QSize outer)>;

// Places a top-level window that does not exist on the screen yet (before winId() or
// show()), so that the window manager puts the frame's corner there. The frame's size is
// not known until the window manager has framed the window: it is taken from a framed
// window of the program meanwhile, and the place is put right once the window is shown.
void PlaceByFrame(QWidget* window, const FrameCorner& corner);
