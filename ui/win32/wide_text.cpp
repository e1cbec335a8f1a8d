// UTF-8 <-> UTF-16 at the Win32 edge (CP_UTF8 both ways).
#include "ui/win32/wide_text.h"

#include <windows.h>

std::wstring WideFromUtf8(const char* text) {
  if (text == nullptr || *text == '\0') return std::wstring();
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], length);
  wide.resize(static_cast<size_t>(length - 1));  // the terminating 0
  return wide;
}

std::string Utf8FromWide(const wchar_t* text, int length) {
  if (text == nullptr || length == 0) return std::string();
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string narrow(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, &narrow[0], bytes, nullptr, nullptr);
  if (length < 0) narrow.resize(static_cast<size_t>(bytes - 1));  // the terminating 0
  return narrow;
}
