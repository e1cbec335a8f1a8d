// One WindowRecord per window made through this layer (each dialog window and each
// control), in one process-wide list guarded by a spin lock while it changes. Only the
// user-interface thread uses the records, as in the Qt front end.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/window.h"

struct WindowRecord {
  HWND window = nullptr;
  HWND parent = nullptr;
  bool pixel_units = false;  // else dialog units; a control inherits it from its window
  DWORD style = 0;
  DWORD extended_style = 0;
  int show_command = SW_SHOW;
  HFONT font = nullptr;
  WindowCallback callback = nullptr;
  int32_t* result_slot = nullptr;
  int32_t control_kind = 0;  // 0 for a dialog window
  WNDPROC previous_procedure = nullptr;
  COLORREF text_colour = 0;
  COLORREF back_colour = 0;
  HBRUSH back_brush = nullptr;
};

void AddWindowRecord(const WindowRecord& record);
// The window's record, null when it has none; valid until the window's records are
// taken (TakeWindowRecords), so a caller that outlives the window keeps a copy.
WindowRecord* FindWindowRecord(HWND window);
// RunModal's part of a dialog window's record; false when it has none.
bool SetModalParts(HWND window, WindowCallback callback, int32_t* result_slot);
// Takes out the records of the window's controls and then the window's own.
std::vector<WindowRecord> TakeWindowRecords(HWND window);
