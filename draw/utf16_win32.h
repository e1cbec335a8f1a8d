// Paths are UTF-8 inside the program and UTF-16 at the Windows file calls; these two
// turn one into the other for every file service of the Windows build.
#pragma once
#include <string>

// "" for an empty text, or where `reject_invalid` is set and the text is not UTF-8.
std::wstring WideOfUtf8(const std::string& text, bool reject_invalid = false);
std::string Utf8OfWide(const std::wstring& wide);
