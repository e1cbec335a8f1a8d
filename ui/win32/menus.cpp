// Menu bars, drop-down menus and their items, and the small images shown beside an item
// in place of its check mark (the colour swatch).
#include <windows.h>

#include <cstring>
#include <string>

#include "ui/win32/handles.h"
#include "text/utf16_win32.h"
#include "ui/window.h"

namespace {
// The 32-bit program gives the record without hbmpItem (44 bytes), which every NT
// release takes; a 64-bit InsertMenuItemW takes only its own full size.
constexpr UINT kMenuItemRecordSize = sizeof(void*) == 4 ? 44 : sizeof(MENUITEMINFOW);
constexpr UINT kMenuItemMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_DATA;
constexpr int32_t kPositionIsCommandId = 2;
}  // namespace

uint32_t NewMenu(int32_t kind) {
  return ValueOf(kind == 0 ? CreateMenu() : CreatePopupMenu());
}

void AddMenuItem(uint32_t menu, uint32_t drop_down, int32_t id, int32_t state,
                 int32_t position, void* item_callback, int32_t flags, const char* text) {
  const bool separator = text != nullptr && std::strcmp(text, "-") == 0;
  std::wstring wide_text = separator ? std::wstring() : WideOfUtf8(text);

  MENUITEMINFOW item{};
  item.cbSize = kMenuItemRecordSize;
  item.fMask = kMenuItemMask;
  item.fType = separator ? MFT_SEPARATOR : MFT_STRING;
  item.fState = separator ? 0 : static_cast<UINT>(state);
  item.wID = separator ? 0 : static_cast<UINT>(id);
  item.hSubMenu = HandleOf<HMENU>(drop_down);
  item.dwItemData = separator ? 0 : reinterpret_cast<ULONG_PTR>(item_callback);
  item.dwTypeData = separator ? nullptr : &wide_text[0];
  item.cch = static_cast<UINT>(wide_text.size());

  const bool by_id = (flags & kPositionIsCommandId) != 0;
  // -1 - 1 would be -2; any place past the end appends.
  const UINT place = by_id ? static_cast<UINT>(position)
                           : position == -1 ? static_cast<UINT>(-1)
                                            : static_cast<UINT>(position - 1);
  InsertMenuItemW(HandleOf<HMENU>(menu), place, by_id ? FALSE : TRUE, &item);
}

void AttachMenu(uint32_t window, uint32_t menu_bar) {
  SetMenu(HandleOf<HWND>(window), HandleOf<HMENU>(menu_bar));
}

uint32_t LoadMenuImage(const char* bmp_path) {
  const std::wstring path = WideOfUtf8(bmp_path);
  return ValueOf(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

uint32_t MenuImageFromPixels(int32_t width, int32_t height, int32_t stride,
                             const uint32_t* pixels) {
  if (width <= 0 || height <= 0 || stride < width || pixels == nullptr) return 0;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as the pixels come
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP image = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (image == nullptr || bits == nullptr) {
    if (image != nullptr) DeleteObject(image);
    return 0;
  }
  auto* rows = static_cast<uint32_t*>(bits);
  for (int32_t y = 0; y < height; ++y)
    std::memcpy(rows + y * width, pixels + y * stride, sizeof(uint32_t) * width);
  GdiFlush();
  return ValueOf(image);
}

void SetMenuItemImage(uint32_t drop_down, int32_t place, uint32_t image) {
  const HBITMAP bitmap = HandleOf<HBITMAP>(image);
  SetMenuItemBitmaps(HandleOf<HMENU>(drop_down), static_cast<UINT>(place), MF_BYPOSITION, bitmap,
                     bitmap);
}
