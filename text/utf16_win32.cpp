#include "text/utf16_win32.h"

#include <windows.h>

std::wstring WideOfUtf8(const std::string& text, bool reject_invalid) {
  if (text.empty()) return std::wstring();
  const DWORD flags = reject_invalid ? MB_ERR_INVALID_CHARS : 0;
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, flags, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, flags, text.data(), size, &wide[0], length);
  return wide;
}

std::wstring WideOfUtf8(const char* text) {
  return text == nullptr ? std::wstring() : WideOfUtf8(std::string(text));
}

std::string Utf8OfWide(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &text[0], length, nullptr, nullptr);
  return text;
}
