// The program names windows, menus, bitmaps and fonts by 32-bit values (ui/win32/handles.h).
// Run under Wine on the build being tested, this makes many of each kind and checks that
// every handle comes back whole from its 32-bit value and still names a live object, as a
// 64-bit build most needs. Prints one line per check and "N passed, N failed".
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ui/win32/handles.h"

namespace {
int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s - %s\n", ok ? "ok" : "FALLO", what.c_str());
  (ok ? g_passed : g_failed)++;
}

template <typename Handle, typename IsAlive>
void CheckRoundTrips(const char* kind, const std::vector<Handle>& handles, IsAlive is_alive) {
  int whole = 0;
  int alive = 0;
  for (Handle handle : handles) {
    const Handle again = HandleOf<Handle>(ValueOf(handle));
    if (again == handle) whole++;
    if (is_alive(again)) alive++;
  }
  const std::string count = std::to_string(handles.size());
  Check(!handles.empty() && whole == static_cast<int>(handles.size()),
        std::string(kind) + ": " + std::to_string(whole) + " of " + count +
            " handles come back whole from their 32-bit value");
  Check(!handles.empty() && alive == static_cast<int>(handles.size()),
        std::string(kind) + ": " + std::to_string(alive) + " of " + count +
            " still name a live object");
}
}  // namespace

int wmain() {
  constexpr int kEach = 600;
  std::printf("# %d-bit build\n", static_cast<int>(sizeof(void*) * 8));
  std::vector<HWND> windows;
  std::vector<HMENU> menus;
  std::vector<HBITMAP> bitmaps;
  std::vector<HFONT> fonts;
  const HDC screen = GetDC(nullptr);
  for (int i = 0; i < kEach; i++) {
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (window != nullptr) windows.push_back(window);
    HMENU menu = i % 2 == 0 ? CreateMenu() : CreatePopupMenu();
    if (menu != nullptr) menus.push_back(menu);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
    if (bitmap != nullptr) bitmaps.push_back(bitmap);
    HFONT font = CreateFontW(-(10 + i % 30), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                             0, L"Tahoma");
    if (font != nullptr) fonts.push_back(font);
  }
  ReleaseDC(nullptr, screen);

  CheckRoundTrips("windows", windows, [](HWND h) { return IsWindow(h) != FALSE; });
  CheckRoundTrips("menus", menus, [](HMENU h) { return IsMenu(h) != FALSE; });
  CheckRoundTrips("bitmaps", bitmaps, [](HBITMAP h) { return GetObjectType(h) == OBJ_BITMAP; });
  CheckRoundTrips("fonts", fonts, [](HFONT h) { return GetObjectType(h) == OBJ_FONT; });
  Check(HandleOf<HWND>(0) == nullptr && ValueOf<HWND>(nullptr) == 0, "0 is no handle both ways");

  for (HWND window : windows) DestroyWindow(window);
  for (HMENU menu : menus) DestroyMenu(menu);
  for (HBITMAP bitmap : bitmaps) DeleteObject(bitmap);
  for (HFONT font : fonts) DeleteObject(font);
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
