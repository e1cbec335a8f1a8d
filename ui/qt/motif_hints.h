// What a window manager is asked to draw around a top-level window and to let the user
// do with it, through the Motif hints that X11 window managers read.
#pragma once
#include <QWidget>

// A border and a title bar with the caption, no window menu and no buttons; the user can
// only move the window. Call once the window exists and before it is shown. False where
// the platform is not X11 (the window flags then say the same as far as Qt can).
bool AskForCaptionOnly(QWidget* window);
