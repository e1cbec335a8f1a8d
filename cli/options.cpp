#include "cli/options.h"

#include <cctype>
#include <cstring>

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
bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// A field of digits, read without overflow: more than 9 digits counts as too large.
bool ReadField(const std::string& text, size_t* at, size_t width, int64_t* value) {
  size_t end = *at;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
  if (end - *at < width) return false;
  int64_t v = 0;
  for (size_t i = *at; i < end; ++i) v = v > 999999999 ? v : v * 10 + (text[i] - '0');
  *value = v;
  *at = end;
  return true;
}
}  // namespace

bool ParseClockTime(const std::string& text, uint32_t* milliseconds, std::string* error) {
  const std::string expected = " (se espera HH:MM:SS.mmm, por ejemplo 12:34:56.789)";
  if (text.empty()) {
    *error = "la hora está vacía" + expected;
    return false;
  }
  int64_t field[4];
  const char separators[4] = {':', ':', '.', '\0'};
  const size_t widths[4] = {2, 2, 2, 3};
  size_t at = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t start = at;
    if (!ReadField(text, &at, widths[i], &field[i]) || (i < 3 && at - start != widths[i])) {
      *error = "hora mal escrita: \"" + text + "\"" + expected;
      return false;
    }
    if (i < 3) {
      if (at >= text.size() || text[at] != separators[i]) {
        *error = "hora mal escrita: \"" + text + "\"" + expected;
        return false;
      }
      ++at;
    }
  }
  if (at != text.size()) {
    *error = "sobran caracteres tras la hora: \"" + text + "\"" + expected;
    return false;
  }
  const char* names[4] = {"las horas van de 00 a 23", "los minutos van de 00 a 59",
                          "los segundos van de 00 a 59", "los milisegundos van de 000 a 999"};
  const int64_t limits[4] = {23, 59, 59, 999};
  for (int i = 0; i < 4; ++i) {
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

bool ParseCount(const std::string& text, int32_t* count, std::string* error) {
  if (!AllDigits(text)) {
    *error = "el número de cartones no es un número entero: \"" + text + "\" (de 1 a 30000)";
    return false;
  }
  size_t first = text.find_first_not_of('0');
  const std::string digits = first == std::string::npos ? "0" : text.substr(first);
  if (digits.size() > 5 || std::stol(digits) > kBatchLimit || std::stol(digits) < 1) {
    *error = "número de cartones fuera de rango: " + text + " (de 1 a 30000)";
    return false;
  }
  *count = static_cast<int32_t>(std::stol(digits));
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
