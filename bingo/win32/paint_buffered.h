// Both painted views of the bingo window on Win32 (the board, the hall's screen) paint
// through a memory bitmap and copy it in one call, so no half-painted frame is seen.
#pragma once
#include <windows.h>

// Paints through a memory bitmap the size of the client area.
template <typename Paint>
inline void PaintBuffered(HWND window, Paint paint) {
  PAINTSTRUCT ps;
  const HDC screen = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  if (client.right > 0 && client.bottom > 0) {
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    paint(memory, client.right, client.bottom);
    BitBlt(screen, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
  }
  EndPaint(window, &ps);
}
