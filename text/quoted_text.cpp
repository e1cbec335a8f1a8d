// Escaping input text for messages, over the strict UTF-8 reader beside it.
#include "text/quoted_text.h"

#include <cstdio>

#include "text/utf8.h"

namespace {
std::string ByteEscape(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02x", byte);
  return text;
}

std::string CharacterEscape(uint32_t c) {
  char text[12];
  std::snprintf(text, sizeof text, "\\u%04x", static_cast<unsigned>(c));
  return text;
}

// The escaped form of text, '"' escaped too when it is to be quoted.
std::string Escaped(const std::string& text, bool quoting) {
  std::string out;
  out.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    const char* next = text.c_str() + at;
    const uint32_t c = NextCodepoint(next);
    const size_t length = static_cast<size_t>(next - (text.c_str() + at));
    const bool spelled = length == 3 && text.compare(at, 3, "\xEF\xBF\xBD") == 0;
    if (c == kReplacementCharacter && !spelled) {
      out += ByteEscape(static_cast<unsigned char>(text[at]));
    } else if (c == '\\' || (quoting && c == '"')) {
      out += '\\';
      out += static_cast<char>(c);
    } else if (IsControlCharacter(c) || IsDirectionMark(c)) {
      out += c < 0x80 ? ByteEscape(static_cast<unsigned char>(c)) : CharacterEscape(c);
    } else {
      out.append(text, at, length);
    }
    at += length;
  }
  return out;
}
}  // namespace

bool IsControlCharacter(uint32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

bool IsDirectionMark(uint32_t c) {
  return c == 0x200E || c == 0x200F || c == 0x061C || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069);
}

std::string EscapedText(const std::string& text) { return Escaped(text, false); }

std::string QuotedText(const std::string& text, size_t most_bytes) {
  if (text.size() <= most_bytes) return "\"" + Escaped(text, true) + "\"";
  // Cut before a character's continuation bytes (three at most: a run of stray ones is
  // cut anywhere), so no character is shown in half.
  size_t cut = most_bytes;
  for (int back = 0; back < 3 && cut > 0 &&
                     (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80;
       ++back)
    --cut;
  return "\"" + Escaped(text.substr(0, cut), true) + "…\"";
}
