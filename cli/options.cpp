// The command line of tessarine-cards: each option's value checked whole, with a
// message in Spanish that names what is wrong.
#include "cli/options.h"

#include <cctype>
#include <cstdlib>

#include "files/card_files.h"

const char* const kCliUsage =
    "Uso: tessarine-cards [--count N] [--out CARPETA] [--colour RRGGBB] [--time HH:MM:SS.mmm]\n"
    "     tessarine-cards --layout [--time HH:MM:SS.mmm]\n"
    "\n"
    "Hace cartones del bingo sin ventana.\n"
    "\n"
    "  --count N            cuántos cartones, de 1 a 30000 (por omisión 1)\n"
    "  --out CARPETA        dónde guardarlos: CARPETA/0001.bmp, 0002.bmp, ...\n"
    "                       (por omisión ./muchas; se crea si falta)\n"
    "  --colour RRGGBB      color del cartón en hexadecimal (por omisión C0C0C0)\n"
    "  --time HH:MM:SS.mmm  la hora que siembra el primer cartón (por omisión, ahora)\n"
    "  --layout             escribe el cartón como texto: tres líneas de nueve casillas,\n"
    "                       \"07\" un número, \"--\" una casilla en blanco\n"
    "  --help               esta ayuda\n";

namespace {
// The length of the run of digits at `at`.
size_t DigitsAt(const std::string& text, size_t at) {
  size_t end = at;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  return end - at;
}

int32_t FieldValue(const std::string& text, size_t at, size_t width) {
  int32_t value = 0;
  for (size_t i = at; i < at + width; ++i) value = value * 10 + (text[i] - '0');
  return value;
}
}  // namespace

// Exactly HH:MM:SS.mmm: two, two, two and three digits, nothing before or after.
bool ParseClockTime(const std::string& text, uint32_t* milliseconds, std::string* error) {
  const std::string expected = " (se espera HH:MM:SS.mmm, por ejemplo 12:34:56.789)";
  if (text.empty()) {
    *error = "la hora está vacía" + expected;
    return false;
  }
  constexpr int kFields = 4;
  const size_t widths[kFields] = {2, 2, 2, 3};
  const char separators[kFields] = {':', ':', '.', '\0'};
  int32_t field[kFields];
  size_t at = 0;
  for (int i = 0; i < kFields; ++i) {
    const size_t digits = DigitsAt(text, at);
    if (i == kFields - 1 && digits > widths[i]) {
      *error = "hora mal escrita: \"" + text +
               "\" (se espera HH:MM:SS.mmm: los milisegundos van de 000 a 999, con tres cifras)";
      return false;
    }
    if (digits != widths[i]) {
      *error = "hora mal escrita: \"" + text + "\"" + expected;
      return false;
    }
    field[i] = FieldValue(text, at, widths[i]);
    at += widths[i];
    if (i == kFields - 1) break;
    if (at >= text.size() || text[at] != separators[i]) {
      *error = "hora mal escrita: \"" + text + "\"" + expected;
      return false;
    }
    ++at;
  }
  if (at != text.size()) {
    *error = "sobran caracteres tras la hora: \"" + text + "\"" + expected;
    return false;
  }
  // Three digits of milliseconds are always in range; the other fields may not be.
  constexpr int kLimitedFields = 3;
  const char* names[kLimitedFields] = {"las horas van de 00 a 23", "los minutos van de 00 a 59",
                                       "los segundos van de 00 a 59"};
  const int32_t limits[kLimitedFields] = {23, 59, 59};
  for (int i = 0; i < kLimitedFields; ++i) {
    if (field[i] > limits[i]) {
      *error = "hora fuera de rango: \"" + text + "\" (" + names[i] + ")";
      return false;
    }
  }
  *milliseconds =
      static_cast<uint32_t>(((field[0] * 60 + field[1]) * 60 + field[2]) * 1000 + field[3]);
  return true;
}

bool ParseColour(const std::string& text, Colour* colour, std::string* error) {
  bool ok = text.size() == 6;
  for (char c : text) ok = ok && std::isxdigit(static_cast<unsigned char>(c));
  if (!ok) {
    *error = "color mal escrito: \"" + text +
             "\" (se esperan seis cifras hexadecimales RRGGBB, por ejemplo C0C0C0)";
    return false;
  }
  const unsigned long rgb = std::strtoul(text.c_str(), nullptr, 16);
  const unsigned long red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
  *colour = static_cast<Colour>(red | (green << 8) | (blue << 16));
  return true;
}

// The digits are read as the window's dialog reads its answer; only 0 differs: the
// dialog takes an empty answer or zeros as no cards, a run asked for must make some.
bool ParseCount(const std::string& text, int32_t* count, std::string* error) {
  const BatchAnswer read = CheckBatchAnswer(text);
  if (text.empty() || read.kind == BatchAnswerKind::kNotDigits) {
    *error = "el número de cartones no es un número entero: \"" + text + "\" (de 1 a 30000)";
    return false;
  }
  if (read.kind == BatchAnswerKind::kTooMany || read.count < 1) {
    *error = "número de cartones fuera de rango: " + text + " (de 1 a 30000)";
    return false;
  }
  *count = read.count;
  return true;
}

bool ParseCliOptions(int argc, const char* const* argv, CliOptions* options, std::string* error) {
  bool seen_count = false, seen_out = false, seen_colour = false;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help") {
      options->help = true;
      continue;
    }
    if (option == "--layout") {
      options->layout = true;
      continue;
    }
    if (option != "--time" && option != "--count" && option != "--out" && option != "--colour") {
      *error = "opción desconocida: \"" + option + "\" (--help muestra el uso)";
      return false;
    }
    if (i + 1 >= argc) {
      *error = "falta el valor de " + option;
      return false;
    }
    const std::string value = argv[++i];
    if (value.empty()) {
      *error = "el valor de " + option + " está vacío";
      return false;
    }
    bool ok = true;
    std::string why;
    if (option == "--time") {
      ok = ParseClockTime(value, &options->time_ms, &why);
      options->has_time = true;
    } else if (option == "--count") {
      ok = ParseCount(value, &options->count, &why);
      seen_count = true;
    } else if (option == "--colour") {
      ok = ParseColour(value, &options->colour, &why);
      seen_colour = true;
    } else {
      options->out = value;
      seen_out = true;
    }
    if (!ok) {
      *error = option + ": " + why;
      return false;
    }
  }
  if (options->layout && (seen_count || seen_out || seen_colour)) {
    *error = "--layout escribe un solo cartón como texto: no admite --count, --out ni --colour";
    return false;
  }
  return true;
}
