// JSON text as the phones' page reads it: strings quoted and escaped, nothing else. UTF-8
// passes through whole; control characters, quotes, backslashes and "<" (so that no text
// can close a script) are escaped.
#pragma once
#include <string>

void AppendJsonString(std::string* out, const std::string& text);
std::string JsonString(const std::string& text);
