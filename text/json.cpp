#include "text/json.h"

#include "text/hex.h"

void AppendJsonString(std::string* out, const std::string& text) {
  out->push_back('"');
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out->push_back('\\');
      out->push_back(c);
    } else if (byte < 0x20 || c == '<' || byte == 0x7F) {
      *out += "\\u";
      AppendHexDigits(out, byte, 4);
    } else {
      out->push_back(c);
    }
  }
  out->push_back('"');
}

std::string JsonString(const std::string& text) {
  std::string out;
  AppendJsonString(&out, text);
  return out;
}
