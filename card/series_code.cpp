// Writing and reading the codes of 90-ball cartones.
#include "card/series_code.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "card/card_code.h"
#include "text/quoted_text.h"

namespace {
constexpr size_t kSeedDigits = 6;
constexpr size_t kPlaceAt = 7;  // after the seed and the hyphen
constexpr size_t kMostShownBytes = 24;  // a scanner can send a whole line of junk
constexpr const char* kBlanks = " \t\r\n";

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The code as the message shows it: escaped, cut on a character's boundary.
std::string Shown(const std::string& code) {
  if (code.size() <= kMostShownBytes) return EscapedText(code);
  size_t cut = kMostShownBytes;
  while (cut > 0 && (static_cast<unsigned char>(code[cut]) & 0xC0) == 0x80) --cut;
  return EscapedText(code.substr(0, cut)) + "…";
}

bool AllHexDigits(const std::string& text, size_t count) {
  if (text.size() < count) return false;
  for (size_t i = 0; i < count; ++i)
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  return true;
}

// Why a code of the right length is not one, or "" when it is.
std::string Fault(const std::string& code) {
  if (code.size() == kCardCodeLength && AllHexDigits(code, kCardCodeLength))
    return "es el código de un cartón de 1 a 99";
  if (code.size() != kSeriesCodeLength || !AllHexDigits(code, kSeedDigits) ||
      code[kSeedDigits] != '-' || !std::isdigit(static_cast<unsigned char>(code[kPlaceAt])))
    return "se esperan seis cifras hexadecimales, un guion y el cartón de la serie, "
           "por ejemplo 4730F0-3";
  if (code[kPlaceAt] < '1' || code[kPlaceAt] > '0' + kCardsPerSeries)
    return "el cartón de la serie va del 1 al 6";
  return "";
}
}  // namespace

std::string SeriesCode(uint32_t series_seed, int place) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X-%d", static_cast<unsigned>(series_seed & kSeriesSeedMask),
                place);
  return text;
}

SeriesCodeRead ReadSeriesCode(const std::string& text) {
  const std::string code = Trimmed(text);
  const std::string fault = Fault(code);
  SeriesCodeRead read;
  if (!fault.empty()) {
    read.error = "«" + Shown(code) + "» no es un código de cartón de 90: " + fault;
    return read;
  }
  read.series_seed =
      static_cast<uint32_t>(std::strtoul(code.substr(0, kSeedDigits).c_str(), nullptr, 16));
  read.place = code[kPlaceAt] - '0';
  return read;
}

SeriesCardFound SeriesCard(const std::string& code) {
  const SeriesCodeRead read = ReadSeriesCode(code);
  SeriesCardFound found;
  if (!read.error.empty()) {
    found.error = read.error;
    return found;
  }
  found.series_seed = read.series_seed;
  found.place = read.place;
  found.layout = MakeSeriesCard(read.series_seed, read.place);
  return found;
}
