// Reading the called numbers: tokens between separators, each checked whole so that a
// typo is named rather than read as something else.
#include "card/called_numbers.h"

#include "text/quoted_text.h"
#include "text/utf8.h"

namespace {
constexpr const char* kRange = " (se cantan números de 1 a 99)";
// More digits than this cannot be a number up to 99, even with leading zeros kept short.
constexpr size_t kMostDigitsShown = 12;

// A refusal carries no numbers: none of a text in error counts.
CalledRead Refused(const std::string& error) {
  CalledRead read;
  read.error = error;
  return read;
}

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

// A token of digits only, cut short: it holds nothing to escape.
std::string ShownDigits(const std::string& token) {
  return token.size() <= kMostDigitsShown ? token : token.substr(0, kMostDigitsShown) + "…";
}

std::string LinePrefix(CalledSource source, int line) {
  return source == CalledSource::kFile ? "línea " + std::to_string(line) + ": " : "";
}

// The token's value, or -1 when it is not made of digits only; values above 999 are 1000.
int TokenValue(const std::string& token) {
  int value = 0;
  for (char c : token) {
    if (c < '0' || c > '9') return -1;
    value = value >= 1000 ? 1000 : value * 10 + (c - '0');
  }
  return value;
}
}  // namespace

bool CallNumber(CalledNumbers* called, int number) {
  if (number < 1 || number > kHighestNumber || called->place[number] != 0) return false;
  called->order.push_back(static_cast<uint8_t>(number));
  called->place[number] = static_cast<uint8_t>(called->order.size());
  return true;
}

CalledRead ParseCalledNumbers(const std::string& text, CalledSource source) {
  CalledRead read;
  CalledNumbers& result = read.called;
  int line_of[kHighestNumber + 1] = {};
  int line = 1;
  size_t at = 0;
  // A byte-order mark at the start of a file is not a number.
  if (source == CalledSource::kFile) at = ByteOrderMarkLength(text);
  while (at < text.size()) {
    if (IsSeparator(text[at])) {
      if (text[at] == '\n') ++line;
      ++at;
      continue;
    }
    const size_t start = at;
    while (at < text.size() && !IsSeparator(text[at])) ++at;
    const std::string token = text.substr(start, at - start);
    const int value = TokenValue(token);
    if (value < 0) {
      return Refused(LinePrefix(source, line) + QuotedText(token, kMostDigitsShown) +
                     " no es un número" + kRange);
    }
    if (value < 1 || value > kHighestNumber) {
      return Refused(LinePrefix(source, line) + "número fuera de rango: " + ShownDigits(token) +
                     kRange);
    }
    if (result.place[value] != 0) {
      const std::string where = source == CalledSource::kFile
                                    ? " (ya en la línea " + std::to_string(line_of[value]) + ")"
                                    : "";
      return Refused(LinePrefix(source, line) + "el número " + std::to_string(value) +
                     " se cantó dos veces" + where);
    }
    CallNumber(&result, value);
    line_of[value] = line;
  }
  if (result.order.empty())
    return Refused(source == CalledSource::kFile ? "el archivo no tiene ningún número cantado"
                                                 : "no se ha cantado ningún número");
  return read;
}
