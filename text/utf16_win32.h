// Texts and paths are UTF-8 inside the program and UTF-16 at the Windows calls; these
// turn one into the other for every Windows service of the program (files, glyphs,
// windows), so accented Spanish reads right whatever the system code page is.
#pragma once
#include <string>

// "" for an empty text, or where `reject_invalid` is set and the text is not UTF-8.
std::wstring WideOfUtf8(const std::string& text, bool reject_invalid = false);
// The same for a text that may be null (given as "").
std::wstring WideOfUtf8(const char* text);
std::string Utf8OfWide(const std::wstring& wide);
