// UTF-8 decoding: strict about overlong forms, surrogates and truncated sequences.
#include "text/utf8.h"

uint32_t NextCodepoint(const char*& text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = p[0];
  int length;
  uint32_t value;
  uint32_t least;
  if (lead < 0x80) {
    text += 1;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1Fu, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0Fu, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07u, least = 0x10000;
  } else {
    text += 1;
    return kReplacementCharacter;
  }
  for (int i = 1; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) {  // also stops at the terminating zero
      text += 1;
      return kReplacementCharacter;
    }
    value = (value << 6) | (p[i] & 0x3Fu);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    text += 1;
    return kReplacementCharacter;
  }
  text += length;
  return value;
}

size_t ByteOrderMarkLength(const std::string& text) {
  return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
}
