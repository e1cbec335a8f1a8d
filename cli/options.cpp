// The command line of tessarine-cards: each option's value checked whole, with a
// message in Spanish that names what is wrong.
#include "cli/options.h"

#include <cctype>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "card/card_code.h"
#include "card/quoted_text.h"
#include "draw/utf8.h"
#include "files/card_files.h"
#include "files/png_encoder.h"
#include "sheets/pdf_sheets.h"

const char* const kCliUsage =
    "Uso: tessarine-cards [--count N | --code XXXXXXXX] [--out CARPETA] [--colour RRGGBB]\n"
    "                     [--time HH:MM:SS.mmm] [--png] [--list LISTA.csv]\n"
    "                     [--pdf HOJAS.pdf [--paper a4|letter] [--title TEXTO] [--no-files]]\n"
    "     tessarine-cards --layout [--time HH:MM:SS.mmm | --code XXXXXXXX]\n"
    "     tessarine-cards --check LISTA.csv --called \"7 12 33 ...\"\n"
    "     tessarine-cards --check --code XXXXXXXX --called-file CANTADOS.txt\n"
    "     tessarine-cards --forecast LISTA.csv [--in-play 1-250]\n"
    "\n"
    "Hace cartones del bingo sin ventana, y comprueba los premios que se cantan.\n"
    "\n"
    "  --count N            cuántos cartones, de 1 a 30000 (por omisión 1)\n"
    "  --out CARPETA        dónde guardarlos: CARPETA/0001.bmp, 0002.bmp, ...\n"
    "                       (por omisión ./muchas; se crea si falta)\n"
    "  --colour RRGGBB      color del cartón en hexadecimal (por omisión C0C0C0)\n"
    "  --time HH:MM:SS.mmm  la hora que siembra el primer cartón (por omisión, ahora)\n"
    "  --code XXXXXXXX      el cartón de ese código (ocho cifras hexadecimales), otra vez\n"
    "  --png                cartones PNG (0001.png, ...) en vez de BMP\n"
    "  --list LISTA.csv     la lista de los cartones: archivo, código y sus tres filas\n"
    "  --pdf HOJAS.pdf      los cartones en hojas para imprimir, cuatro por página,\n"
    "                       y al final el tablero del cantor\n"
    "  --paper a4|letter    el papel de las hojas (por omisión a4)\n"
    "  --title TEXTO        un título en lo alto de cada hoja\n"
    "  --no-files           sin archivos de cartones: solo las hojas o la lista\n"
    "  --layout             escribe el cartón como texto: tres líneas de nueve casillas,\n"
    "                       \"07\" un número, \"--\" una casilla en blanco\n"
    "  --check [LISTA.csv]  comprueba los cartones de la lista (o el de --code) con los\n"
    "                       números cantados, y dice cuáles tienen premio\n"
    "  --called \"7 12 ...\"  los números cantados, en orden, separados por espacios o comas\n"
    "  --called-file F      los números cantados, leídos de un archivo\n"
    "  --forecast LISTA.csv simula 10000 partidas con los cartones en juego de la lista:\n"
    "                       bolas hasta la primera línea y hasta el bingo, y empates\n"
    "  --in-play RANGOS     los cartones en juego, por número (\"1-250, 300-320\");\n"
    "                       por omisión, todos\n"
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
      *error = "hora mal escrita: " + QuotedText(text) +
               " (se espera HH:MM:SS.mmm: los milisegundos van de 000 a 999, con tres cifras)";
      return false;
    }
    if (digits != widths[i]) {
      *error = "hora mal escrita: " + QuotedText(text) + expected;
      return false;
    }
    field[i] = FieldValue(text, at, widths[i]);
    at += widths[i];
    if (i == kFields - 1) break;
    if (at >= text.size() || text[at] != separators[i]) {
      *error = "hora mal escrita: " + QuotedText(text) + expected;
      return false;
    }
    ++at;
  }
  if (at != text.size()) {
    *error = "sobran caracteres tras la hora: " + QuotedText(text) + expected;
    return false;
  }
  // Three digits of milliseconds are always in range; the other fields may not be.
  constexpr int kLimitedFields = 3;
  const char* names[kLimitedFields] = {"las horas van de 00 a 23", "los minutos van de 00 a 59",
                                       "los segundos van de 00 a 59"};
  const int32_t limits[kLimitedFields] = {23, 59, 59};
  for (int i = 0; i < kLimitedFields; ++i) {
    if (field[i] > limits[i]) {
      *error = "hora fuera de rango: " + QuotedText(text) + " (" + names[i] + ")";
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
    *error = "color mal escrito: " + QuotedText(text) +
             " (se esperan seis cifras hexadecimales RRGGBB, por ejemplo C0C0C0)";
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
    *error = "el número de cartones no es un número entero: " + QuotedText(text) + " (de 1 a 30000)";
    return false;
  }
  if (read.kind == BatchAnswerKind::kTooMany || read.count < 1) {
    *error = "número de cartones fuera de rango: " + EscapedText(text) + " (de 1 a 30000)";
    return false;
  }
  *count = read.count;
  return true;
}

bool CheckTitle(const std::string& text, std::string* error) {
  size_t characters = 0;
  for (const char* at = text.c_str(); *at;) {
    const char* was = at;
    const uint32_t c = NextCodepoint(at);
    const bool spelled = at - was == 3 && std::string(was, 3) == "\xEF\xBF\xBD";
    if (c == kReplacementCharacter && !spelled) {
      *error = "el título no es texto UTF-8 válido";
      return false;
    }
    // C1 and the separators too: U+0085 and U+2028 end a line, U+009B starts an escape.
    if (IsControlCharacter(c)) {
      *error = "el título no puede llevar caracteres de control (saltos de línea, tabuladores)";
      return false;
    }
    ++characters;
  }
  if (characters > kMostTitleCharacters) {
    *error = "el título es demasiado largo: " + std::to_string(characters) +
             " caracteres (como mucho " + std::to_string(kMostTitleCharacters) + ")";
    return false;
  }
  return true;
}

namespace {
// The options a value follows, and those that stand alone.
const char* const kValued[] = {"--time",  "--count", "--out",   "--colour", "--code",
                               "--list",  "--pdf",   "--paper", "--title",  "--called",
                               "--called-file", "--forecast", "--in-play"};
const char* const kFlags[] = {"--help", "--layout", "--png", "--no-files", "--check"};

bool OneOf(const std::string& option, const char* const* names, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (option == names[i]) return true;
  return false;
}

// The options of a line that were given, in a Spanish enumeration: "--count, --out ni --png".
std::string Named(const std::vector<std::string>& given) {
  std::string text;
  for (size_t i = 0; i < given.size(); ++i) {
    if (i > 0) text += i + 1 == given.size() ? " ni " : ", ";
    text += given[i];
  }
  return text;
}

// What the options given say together; "" when they go together.
std::string CheckCombination(const CliOptions& o, const std::vector<std::string>& seen) {
  auto given = [&seen](const char* option) {
    for (const std::string& s : seen)
      if (s == option) return true;
    return false;
  };
  auto any_of = [&given](std::initializer_list<const char*> options) {
    std::vector<std::string> found;
    for (const char* option : options)
      if (given(option)) found.push_back(option);
    return found;
  };
  if (!o.forecast_list.empty()) {
    std::vector<std::string> others;
    for (const std::string& option : seen)
      if (option != "--forecast" && option != "--in-play") others.push_back(option);
    if (!others.empty()) return "--forecast simula partidas con una lista: no admite " + Named(others);
    return "";
  }
  if (given("--in-play")) return "--in-play solo vale con --forecast";
  if (o.check) {
    const std::vector<std::string> making =
        any_of({"--layout", "--count", "--out", "--colour", "--time", "--png", "--list", "--pdf",
                "--paper", "--title", "--no-files"});
    if (!making.empty())
      return "--check comprueba cartones ya hechos: no admite " + Named(making);
    if (o.check_list.empty() && !o.has_code)
      return "--check necesita una lista (--check LISTA.csv) o un cartón (--check --code "
             "XXXXXXXX)";
    if (!o.check_list.empty() && o.has_code)
      return "--check comprueba una lista o un cartón de --code, no los dos";
    if (o.has_called && !o.called_file.empty())
      return "--called y --called-file se excluyen: los números cantados vienen de uno de ellos";
    if (!o.has_called && o.called_file.empty())
      return "--check necesita los números cantados: --called \"7 12 33\" o --called-file "
             "ARCHIVO";
    return "";
  }
  const std::vector<std::string> checking = any_of({"--called", "--called-file"});
  if (!checking.empty()) return checking[0] + " solo vale con --check";
  if (o.has_code && o.has_time)
    return "--code y --time se excluyen: el código ya fija el cartón";
  if (o.layout) {
    const std::vector<std::string> files = any_of(
        {"--count", "--out", "--colour", "--png", "--list", "--pdf", "--paper", "--title",
         "--no-files"});
    if (!files.empty())
      return "--layout escribe un solo cartón como texto: no admite " + Named(files);
    return "";
  }
  if (o.has_code && given("--count")) return "--code hace un solo cartón: no admite --count";
  if (o.pdf.empty()) {
    const std::vector<std::string> sheets = any_of({"--paper", "--title"});
    if (!sheets.empty()) return sheets[0] + " solo vale con --pdf";
  }
  if (o.no_files) {
    if (o.pdf.empty() && o.list.empty())
      return "--no-files necesita --pdf o --list: sin archivos de cartones no haría nada más";
    const std::vector<std::string> files = any_of({"--png", "--out"});
    if (!files.empty())
      return "--no-files no guarda archivos de cartones: no admite " + Named(files);
  }
  if (!o.list.empty() && o.list == o.pdf)
    return "--list y --pdf no pueden ser el mismo archivo: " + EscapedText(o.list);
  return "";
}
}  // namespace

bool ParseCliOptions(int argc, const char* const* argv, CliOptions* options, std::string* error) {
  std::vector<std::string> seen;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    const bool valued = OneOf(option, kValued, sizeof kValued / sizeof kValued[0]);
    if (!valued && !OneOf(option, kFlags, sizeof kFlags / sizeof kFlags[0])) {
      *error = "opción desconocida: " + QuotedText(option) + " (--help muestra el uso)";
      return false;
    }
    seen.push_back(option);
    // What this build cannot make is refused first, whatever else the line says.
    if ((option == "--png") && !PngEncoderAvailable()) {
      *error = option + ": " + kPngUnavailable;
      return false;
    }
    if ((option == "--pdf" || option == "--paper" || option == "--title" ||
         option == "--no-files") &&
        !PdfSheetsAvailable()) {
      *error = option + ": " + kPdfUnavailable;
      return false;
    }
    if (option == "--help") {
      options->help = true;
      continue;
    }
    if (option == "--layout") {
      options->layout = true;
      continue;
    }
    if (option == "--png") {
      options->png = true;
      continue;
    }
    if (option == "--no-files") {
      options->no_files = true;
      continue;
    }
    if (option == "--check") {
      options->check = true;
      // The list is the next word unless that is an option: --check --code XXXXXXXX.
      if (i + 1 < argc && std::string(argv[i + 1]).rfind("--", 0) != 0) {
        options->check_list = argv[++i];
        if (options->check_list.empty()) {
          *error = "el valor de --check está vacío";
          return false;
        }
      }
      continue;
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
    } else if (option == "--colour") {
      ok = ParseColour(value, &options->colour, &why);
    } else if (option == "--code") {
      ok = ParseCardCode(value, &options->code_bits, &why);
      options->has_code = true;
    } else if (option == "--paper") {
      ok = ParsePaper(value, &options->paper, &why);
    } else if (option == "--title") {
      ok = CheckTitle(value, &why);
      options->title = value;
    } else if (option == "--list") {
      options->list = value;
    } else if (option == "--pdf") {
      options->pdf = value;
    } else if (option == "--called") {
      options->called = value;
      options->has_called = true;
    } else if (option == "--called-file") {
      options->called_file = value;
    } else if (option == "--forecast") {
      options->forecast_list = value;
    } else if (option == "--in-play") {
      options->in_play = value;
    } else {
      options->out = value;
    }
    if (!ok) {
      *error = option + ": " + why;
      return false;
    }
  }
  if (options->help) return true;
  *error = CheckCombination(*options, seen);
  return error->empty();
}
