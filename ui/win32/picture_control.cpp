// The picture control (control kind 14): an owner-drawn STATIC whose picture is its
// drawing surface, a pixel buffer of the drawing layer copied onto the screen in one
// call whenever the system asks the control to paint itself.
#include "ui/win32/picture_control.h"

#include "draw/draw.h"
#include "ui/win32/handles.h"
#include "text/utf16_win32.h"
#include "ui/window.h"

namespace {
constexpr DWORD kPictureDefaultStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | SS_OWNERDRAW;
constexpr DWORD kPictureForcedStyle = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW;

// GetDlgItem is a round trip to the window server under Wine, and a batch asks for the
// picture control on every card: the last picture control found is kept until it goes
// (ReleaseControl) or another control is added.
struct FoundControl {
  HWND window = nullptr;
  int32_t id = 0;
  HWND control = nullptr;
};
FoundControl g_last_found;

HWND PictureControlOf(HWND window, int32_t control_id) {
  if (window != nullptr && window == g_last_found.window && control_id == g_last_found.id)
    return g_last_found.control;
  const HWND control = GetDlgItem(window, control_id);
  const WindowRecord* record = control != nullptr ? FindWindowRecord(control) : nullptr;
  if (record != nullptr && record->control_kind == kPictureControlKind)
    g_last_found = {window, control_id, control};
  return control;
}

uint32_t FindControl(uint32_t window, int32_t control_id) {
  return ValueOf(PictureControlOf(HandleOf<HWND>(window), control_id));
}

bool ControlClientSize(uint32_t control, int32_t* width, int32_t* height) {
  RECT client;
  if (!GetClientRect(HandleOf<HWND>(control), &client)) return false;
  *width = client.right - client.left;
  *height = client.bottom - client.top;
  return true;
}

// Runs inside a drawing operation: UpdateWindow paints before the operation returns,
// so a batch shows every card although the message loop does not run meanwhile.
void RepaintControl(uint32_t control, int32_t x, int32_t y, int32_t width, int32_t height) {
  const HWND handle = HandleOf<HWND>(control);
  const RECT changed{x, y, x + width, y + height};
  InvalidateRect(handle, &changed, FALSE);
  UpdateWindow(handle);
}

const ControlHooks kControlHooks{FindControl, ControlClientSize, RepaintControl};

// The static control does the rest; the previous procedure is kept in the control's
// user data, so it is at hand even while the records are being released.
LRESULT CALLBACK PictureProcedure(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA));
  if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS;
  if (message == WM_LBUTTONDOWN) SetFocus(control);
  if (previous == nullptr) return DefWindowProcW(control, message, wparam, lparam);
  return CallWindowProcW(previous, control, message, wparam, lparam);
}
}  // namespace

void EnsureControlHooks() {
  static bool registered = false;
  if (registered) return;
  SetControlHooks(&kControlHooks);
  registered = true;
}

void AddControl(int32_t kind, uint32_t parent, int32_t id, const char* text, int32_t x,
                int32_t y, int32_t width, int32_t height, uint32_t style,
                uint32_t extended_style, WindowCallback callback) {
  // The picture control is the one kind this program asks for.
  if (kind != kPictureControlKind) return;
  const HWND parent_window = HandleOf<HWND>(parent);
  const WindowRecord* found = FindWindowRecord(parent_window);
  if (found == nullptr) return;
  const WindowRecord parent_record = *found;

  RECT place{x, y, x + width, y + height};
  if (!parent_record.pixel_units) MapDialogRect(parent_window, &place);
  const DWORD control_style = (style != 0 ? style : kPictureDefaultStyle) | kPictureForcedStyle;
  const std::wstring wide_text = WideOfUtf8(text);
  const HWND control = CreateWindowExW(
      extended_style, L"STATIC", wide_text.c_str(), control_style, place.left, place.top,
      place.right - place.left, place.bottom - place.top, parent_window,
      reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) return;
  g_last_found = FoundControl{};

  WindowRecord record;
  record.window = control;
  record.parent = parent_window;
  record.pixel_units = parent_record.pixel_units;
  record.style = control_style;
  record.extended_style = extended_style;
  record.callback = callback;
  record.control_kind = kind;
  record.text_colour = GetSysColor(COLOR_WINDOWTEXT);
  record.back_colour = GetSysColor(COLOR_BTNFACE);
  record.back_brush = CreateSolidBrush(record.back_colour);

  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(parent_record.font), TRUE);
  record.previous_procedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PictureProcedure)));
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record.previous_procedure));
  AddWindowRecord(record);

  EnsureControlHooks();
  NewControlSurface(ValueOf(control));
}

bool PaintPictureControl(HWND window, const DRAWITEMSTRUCT& item) {
  const HWND control = PictureControlOf(window, static_cast<int32_t>(item.CtlID));
  const WindowRecord* record = control != nullptr ? FindWindowRecord(control) : nullptr;
  if (record == nullptr || record->control_kind != kPictureControlKind) return false;
  // The surface is 0xFFRRGGBB top-down, which is exactly a 32-bit top-down DIB.
  const PixelView view = ControlSurfacePixels(ValueOf(control));
  if (view.pixels == nullptr) return true;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = view.stride;
  info.bmiHeader.biHeight = -view.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(item.hDC, item.rcItem.left, item.rcItem.top, view.width, view.height, 0, 0,
                    0, view.height, view.pixels, &info, DIB_RGB_COLORS);
  return true;
}

void ReleaseControl(const WindowRecord& record) {
  if (record.window == g_last_found.control || record.window == g_last_found.window)
    g_last_found = FoundControl{};
  if (record.control_kind == kPictureControlKind) EndControlSurface(ValueOf(record.window));
  if (record.back_brush != nullptr) DeleteObject(record.back_brush);
}
