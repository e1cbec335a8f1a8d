// The keyboard focus as a window handle, and giving it back.
#include <windows.h>

#include "ui/win32/handles.h"
#include "ui/window.h"

uint32_t FocusWindow() { return ValueOf(GetFocus()); }

void SetFocusWindow(uint32_t window) { SetFocus(HandleOf<HWND>(window)); }
