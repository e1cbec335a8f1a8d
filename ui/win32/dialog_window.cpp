// Dialog windows made from an in-memory template, their message dispatcher (the one
// dialog procedure of every such window), the modal loop that runs them with the
// program's callback, and their end.
#include <windows.h>

#include <vector>

#include "ui/win32/handles.h"
#include "ui/win32/picture_control.h"
#include "text/utf16_win32.h"
#include "ui/win32/window_records.h"
#include "ui/window.h"

namespace {
constexpr DWORD kDefaultDialogStyle =
    WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;
constexpr DWORD kAddedDialogStyle = DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;
constexpr UINT kPlaceWithoutSideEffects = SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE |
                                          SWP_NOCOPYBITS | SWP_NOOWNERZORDER |
                                          SWP_NOSENDCHANGING;  // 0x71C

HWND g_active_dialog = nullptr;

DWORD DialogStyle(uint32_t style, int32_t x, int32_t y) {
  DWORD result = style != 0 ? style : kDefaultDialogStyle;
  result |= kAddedDialogStyle;
  result &= ~static_cast<DWORD>(WS_VISIBLE | DS_SYSMODAL);
  if (x == POS_DEFAULT || y == POS_DEFAULT) result |= DS_CENTER;
  return result;
}

void PutWord(std::vector<WORD>* words, WORD value) { words->push_back(value); }
void PutDword(std::vector<WORD>* words, DWORD value) {
  words->push_back(LOWORD(value));
  words->push_back(HIWORD(value));
}
void PutText(std::vector<WORD>* words, const wchar_t* text) {
  for (; *text != L'\0'; ++text) words->push_back(static_cast<WORD>(*text));
  words->push_back(0);
}

// DLGTEMPLATEEX with no items; the caption is set afterwards, so the title is a blank.
std::vector<WORD> WindowTemplate(DWORD style, DWORD extended_style, int32_t x, int32_t y,
                                 int32_t width, int32_t height) {
  std::vector<WORD> words;
  PutWord(&words, 1);       // version
  PutWord(&words, 0xFFFF);  // signature of the extended form
  PutDword(&words, 0);      // help id
  PutDword(&words, extended_style);
  PutDword(&words, style);
  PutWord(&words, 0);  // no items
  PutWord(&words, static_cast<WORD>(x));
  PutWord(&words, static_cast<WORD>(y));
  PutWord(&words, static_cast<WORD>(width));
  PutWord(&words, static_cast<WORD>(height));
  PutWord(&words, 0);  // no menu
  PutWord(&words, 0);  // the standard dialog class
  PutText(&words, L" ");
  PutWord(&words, 8);           // points
  PutWord(&words, FW_NORMAL);   // weight
  PutWord(&words, 0);           // italic 0, ANSI_CHARSET
  PutText(&words, L"MS Sans Serif");
  return words;
}

// With UNITS_PIXELS the given size is the client size and the place is in pixels.
void PlaceInPixels(HWND window, HWND parent, DWORD style, int32_t x, int32_t y,
                   int32_t width, int32_t height) {
  RECT outer;
  RECT client;
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  const int outer_width = width + (outer.right - outer.left) - (client.right - client.left);
  const int outer_height = height + (outer.bottom - outer.top) - (client.bottom - client.top);
  if (style & DS_CENTER) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    x = (work.left + work.right - outer_width) / 2;
    y = (work.top + work.bottom - outer_height) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
  } else if (!(style & (WS_CHILD | DS_ABSALIGN)) && parent != nullptr) {
    POINT origin{0, 0};
    ClientToScreen(parent, &origin);
    x += origin.x;
    y += origin.y;
  }
  SetWindowPos(window, nullptr, x, y, outer_width, outer_height, kPlaceWithoutSideEffects);
}

int ShowCommandOf(DWORD style) {
  if (style & WS_MAXIMIZE) return SW_SHOWMAXIMIZED;
  if (style & WS_MINIMIZE) return SW_MINIMIZE;
  return SW_SHOW;
}

// A control's own callback, or a menu item's, sees a command before the window's does.
int32_t OfferCommandFirst(HWND window, WPARAM wparam, LPARAM lparam) {
  const int id = LOWORD(wparam);
  WindowCallback first = nullptr;
  if (GetDlgItem(window, id) != nullptr) {
    const WindowRecord* sender =
        lparam != 0 ? FindWindowRecord(reinterpret_cast<HWND>(lparam)) : nullptr;
    if (sender != nullptr) first = sender->callback;
  } else if (HMENU menu = GetMenu(window)) {
    MENUITEMINFOW item{};
    item.cbSize = 44;  // the record without hbmpItem, as every version knows it
    item.fMask = MIIM_DATA;
    if (GetMenuItemInfoW(menu, static_cast<UINT>(id), FALSE, &item))
      first = reinterpret_cast<WindowCallback>(item.dwItemData);
  }
  if (first == nullptr) return 0;
  return first(ValueOf(window), WM_COMMAND, static_cast<uint32_t>(wparam),
               static_cast<int32_t>(lparam));
}

void ReleaseWindowRecords(HWND window) {
  for (const WindowRecord& record : TakeWindowRecords(window)) ReleaseControl(record);
  if (g_active_dialog == window) g_active_dialog = nullptr;
}

INT_PTR CALLBACK MessageDispatcher(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) return FALSE;  // only during creation: nothing registered
  if (message == WM_ACTIVATE) {
    if (LOWORD(wparam) != WA_INACTIVE)
      g_active_dialog = window;
    else if (g_active_dialog == window)
      g_active_dialog = nullptr;
    return FALSE;
  }

  int32_t result = 0;
  if (message == WM_COMMAND) result = OfferCommandFirst(window, wparam, lparam);
  if (result == 0) {
    const WindowRecord* record = FindWindowRecord(window);
    // The callback may end the window and its record with it: taken before the call.
    const WindowCallback callback = record != nullptr ? record->callback : nullptr;
    if (callback != nullptr)
      result = callback(ValueOf(window), message, static_cast<uint32_t>(wparam),
                        static_cast<int32_t>(lparam));
  }
  if (result != 0) {
    if (GetWindowLongPtrW(window, DWLP_MSGRESULT) == 0)
      SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return result;
  }

  switch (message) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item != nullptr && (item->itemAction & ODA_DRAWENTIRE) &&
          PaintPictureControl(window, *item))
        return TRUE;
      return FALSE;
    }
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_CLOSE) {
        EndDialogWindow(ValueOf(window), 0);
        return TRUE;
      }
      return FALSE;
    case WM_NCDESTROY:
      ReleaseWindowRecords(window);
      return TRUE;
    default:
      return FALSE;
  }
}
}  // namespace

uint32_t CreateDialogWindow(int32_t flags, uint32_t parent, const char* caption, int32_t x,
                            int32_t y, int32_t width, int32_t height, uint32_t style,
                            uint32_t extended_style) {
  const HWND parent_window = HandleOf<HWND>(parent);
  const DWORD window_style = DialogStyle(style, x, y);
  const std::vector<WORD> words =
      WindowTemplate(window_style, extended_style, x, y, width, height);
  const HWND window = CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
      parent_window, MessageDispatcher, 0);
  if (window == nullptr) return 0;

  const bool pixel_units = (flags & UNITS_PIXELS) != 0;
  if (pixel_units) PlaceInPixels(window, parent_window, window_style, x, y, width, height);
  SetWindowTextW(window, WideOfUtf8(caption).c_str());

  WindowRecord record;
  record.window = window;
  record.parent = parent_window;
  record.pixel_units = pixel_units;
  record.style = window_style;
  record.extended_style = extended_style;
  record.show_command = ShowCommandOf(window_style);
  record.font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
  AddWindowRecord(record);
  return ValueOf(window);
}

void RunModal(uint32_t window, WindowCallback callback, int32_t* result) {
  const HWND handle = HandleOf<HWND>(window);
  SetForegroundWindow(handle);
  // A copy: the window, and its record, may end while it runs.
  const WindowRecord* found = FindWindowRecord(handle);
  const bool has_record = found != nullptr;
  const WindowRecord record = has_record ? *found : WindowRecord{};

  if (callback != nullptr) {
    callback(window, WM_INITDIALOG, window, 0);
    RECT client{};
    GetClientRect(handle, &client);
    const uint32_t size_type = record.show_command == SW_SHOWMAXIMIZED ? SIZE_MAXIMIZED
                               : record.show_command == SW_MINIMIZE    ? SIZE_MINIMIZED
                                                                       : SIZE_RESTORED;
    callback(window, WM_SIZE, size_type,
             static_cast<int32_t>(MAKELONG(client.right - client.left, client.bottom - client.top)));
  }
  if (!has_record || !SetModalParts(handle, callback, result)) return;

  if (record.parent != nullptr) {
    SendMessageW(record.parent, WM_CANCELMODE, 0, 0);
    EnableWindow(record.parent, FALSE);
  }
  ShowWindow(handle, record.show_command);

  // Polls rather than blocks; WM_QUIT is just another message here.
  for (;;) {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (record.parent != nullptr && !(record.style & DS_NOIDLEMSG))
        SendMessageW(record.parent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(handle));
      Sleep(1);
      if (!IsWindow(handle)) break;
      continue;
    }
    // The dialog manager sees every message first, for the keys it handles (Tab, Esc).
    const bool consumed = IsWindow(handle) && IsDialogMessageW(handle, &message);
    if (!consumed) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!IsWindow(handle)) break;
  }
  if (record.parent != nullptr) SetFocus(record.parent);
}

void EndDialogWindow(uint32_t window, int32_t result) {
  const HWND handle = HandleOf<HWND>(window);
  const WindowRecord* found = FindWindowRecord(handle);
  if (found == nullptr) return;
  const WindowRecord record = *found;  // destroying the window takes its record
  if (record.result_slot != nullptr) *record.result_slot = result;
  SendMessageW(handle, WM_CLOSE, 0, 0);
  if (record.parent != nullptr) EnableWindow(record.parent, TRUE);
  DestroyWindow(handle);
}
