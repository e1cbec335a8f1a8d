// The picture control's share of the message dispatcher: painting it from its drawing
// surface, and releasing what it holds when its window goes.
#pragma once
#include <windows.h>

#include "ui/win32/window_records.h"

// WM_DRAWITEM of a dialog window: true when the item was a picture control and has
// been painted whole from its surface.
bool PaintPictureControl(HWND window, const DRAWITEMSTRUCT& item);
// The surface and brush of a control whose record has been taken out.
void ReleaseControl(const WindowRecord& record);
// Tells the drawing layer how to find, measure and repaint controls. Idempotent.
void EnsureControlHooks();
