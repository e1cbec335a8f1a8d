// The program's texts are UTF-8; Win32's are UTF-16. Every text that crosses into or
// out of a Win32 call goes through these two, so accented Spanish reads right whatever
// the system code page is.
#pragma once
#include <string>

std::wstring WideFromUtf8(const char* text);  // null gives ""
std::string Utf8FromWide(const wchar_t* text, int length);  // length -1: up to the 0
