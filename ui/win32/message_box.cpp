// ShowMessage: the system message box, owned by no window so the main window stays
// enabled while it is up.
#include <windows.h>

#include "ui/constants.h"
#include "ui/dialogs.h"
#include "text/utf16_win32.h"

int32_t ShowMessage(const char* text, int32_t style, const char* title) {
  const char* shown_title = (title == nullptr || *title == '\0') ? kProgramName : title;
  const std::wstring wide_text = WideOfUtf8(text);
  const std::wstring wide_title = WideOfUtf8(shown_title);
  // A short pause lets a menu that was just closed finish redrawing first.
  Sleep(5);
  return MessageBoxW(nullptr, wide_text.c_str(), wide_title.c_str(), static_cast<UINT>(style));
}
