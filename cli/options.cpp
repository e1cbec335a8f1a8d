// The command line of tessarine-cards: one table of the options (name, value, what it
// sets, where it works, what it refuses, what it needs) drives the parsing, the refusals
// and the usage text. Each value is checked whole, with a message in Spanish that names
// what is wrong.
#include "cli/options.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "card/card_code.h"
#include "card/series.h"
#include "card/series_code.h"
#include "text/quoted_text.h"
#include "text/hex.h"
#include "text/utf8.h"
#include "files/card_files.h"
#include "sheets/pdf_sheets.h"

namespace {
// " (de 1 a 30000)", after a refused count.
std::string CountRange() { return " (de 1 a " + std::to_string(kBatchLimit) + ")"; }

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

// Why hours, minutes or seconds read are out of range, "" when none is. Three digits of
// milliseconds are always in range.
std::string ClockFieldOutOfRange(const std::string& text, const int32_t* field) {
  constexpr int kLimitedFields = 3;
  const char* names[kLimitedFields] = {"las horas van de 00 a 23", "los minutos van de 00 a 59",
                                       "los segundos van de 00 a 59"};
  const int32_t limits[kLimitedFields] = {23, 59, 59};
  for (int i = 0; i < kLimitedFields; ++i)
    if (field[i] > limits[i])
      return "hora fuera de rango: " + QuotedText(text) + " (" + names[i] + ")";
  return "";
}
}  // namespace

// Exactly HH:MM:SS.mmm: two, two, two and three digits, nothing before or after.
ClockTimeRead ParseClockTime(const std::string& text) {
  ClockTimeRead read;
  const std::string expected = " (se espera HH:MM:SS.mmm, por ejemplo 12:34:56.789)";
  if (text.empty()) {
    read.error = "la hora está vacía" + expected;
    return read;
  }
  constexpr int kFields = 4;
  const size_t widths[kFields] = {2, 2, 2, 3};
  const char separators[kFields] = {':', ':', '.', '\0'};
  int32_t field[kFields];
  size_t at = 0;
  for (int i = 0; i < kFields; ++i) {
    const size_t digits = DigitsAt(text, at);
    if (i == kFields - 1 && digits > widths[i]) {
      read.error = "hora mal escrita: " + QuotedText(text) +
                   " (se espera HH:MM:SS.mmm: los milisegundos van de 000 a 999, con tres cifras)";
      return read;
    }
    if (digits != widths[i]) {
      read.error = "hora mal escrita: " + QuotedText(text) + expected;
      return read;
    }
    field[i] = FieldValue(text, at, widths[i]);
    at += widths[i];
    if (i == kFields - 1) break;
    if (at >= text.size() || text[at] != separators[i]) {
      read.error = "hora mal escrita: " + QuotedText(text) + expected;
      return read;
    }
    ++at;
  }
  if (at != text.size()) {
    read.error = "sobran caracteres tras la hora: " + QuotedText(text) + expected;
    return read;
  }
  read.error = ClockFieldOutOfRange(text, field);
  if (!read.error.empty()) return read;
  read.milliseconds =
      static_cast<uint32_t>(((field[0] * 60 + field[1]) * 60 + field[2]) * 1000 + field[3]);
  return read;
}

ColourRead ParseColour(const std::string& text) {
  ColourRead read;
  bool ok = text.size() == 6;
  for (char c : text) ok = ok && IsHexDigit(c);
  if (!ok) {
    read.error = "color mal escrito: " + QuotedText(text) +
                 " (se esperan seis cifras hexadecimales RRGGBB, por ejemplo C0C0C0)";
    return read;
  }
  const unsigned long rgb = std::strtoul(text.c_str(), nullptr, 16);
  const unsigned long red = (rgb >> 16) & 0xFF, green = (rgb >> 8) & 0xFF, blue = rgb & 0xFF;
  read.colour = static_cast<Colour>(red | (green << 8) | (blue << 16));
  return read;
}

// The digits are read as the window's dialog reads its answer; only 0 differs: the
// dialog takes an empty answer or zeros as no cards, a run asked for must make some.
CountRead ParseCount(const std::string& text) {
  const BatchAnswer answer = CheckBatchAnswer(text);
  CountRead read;
  if (text.empty() || answer.kind == BatchAnswerKind::kNotDigits)
    read.error = "el número de cartones no es un número entero: " + QuotedText(text) + CountRange();
  else if (answer.kind == BatchAnswerKind::kTooMany || answer.count < 1)
    read.error = "número de cartones fuera de rango: " + EscapedText(text) + CountRange();
  else
    read.count = answer.count;
  return read;
}

CountRead ParseSeriesCount(const std::string& text) {
  const std::string range = " (de 1 a " + std::to_string(kMostSeries) + ")";
  CountRead read;
  if (text.empty() || DigitsAt(text, 0) != text.size()) {
    read.error = "el número de series no es un número entero: " + QuotedText(text) + range;
    return read;
  }
  // Past nine digits the number is out of range whatever it is.
  const long value = text.size() > 9 ? 0 : std::strtol(text.c_str(), nullptr, 10);
  if (value < 1 || value > kMostSeries)
    read.error = "número de series fuera de rango: " + EscapedText(text) + range;
  else
    read.count = static_cast<int32_t>(value);
  return read;
}

std::string CheckTitle(const std::string& text) {
  size_t characters = 0;
  for (const char* at = text.c_str(); *at;) {
    const char* was = at;
    const uint32_t c = NextCodepoint(at);
    const bool spelled = at - was == 3 && std::string(was, 3) == "\xEF\xBF\xBD";
    if (c == kReplacementCharacter && !spelled) {
      return "el título no es texto UTF-8 válido";
    }
    // C1 and the separators too: U+0085 and U+2028 end a line, U+009B starts an escape.
    if (IsControlCharacter(c)) {
      return "el título no puede llevar caracteres de control (saltos de línea, tabuladores)";
    }
    ++characters;
  }
  if (characters > kMostTitleCharacters) {
    return "el título es demasiado largo: " + std::to_string(characters) +
           " caracteres (como mucho " + std::to_string(kMostTitleCharacters) + ")";
  }
  return "";
}

namespace {
// Where an option works: making cards (with or without their files, of one code or of
// the clock), printing a layout, checking a win, forecasting games.
enum Context : unsigned {
  kMaking = 1,
  kWithoutFiles = 2,
  kOfOneCode = 4,
  kLayout = 8,
  kChecking = 16,
  kForecasting = 32,
  kVerifyingDraw = 64,
};
constexpr unsigned kEveryRun = kMaking | kWithoutFiles | kOfOneCode;
enum class Takes { kNothing, kValue, kOptionalValue };

using Setter = bool (*)(const std::string& value, CliOptions* o, std::string* why);

// A setter's part for a value read by one of the parsers above: the value stored, or the
// parser's words for why not.
template <typename Read, typename Value>
bool Store(const Read& read, Value Read::*field, Value* to, std::string* why) {
  if (!read.error.empty()) {
    *why = read.error;
    return false;
  }
  *to = read.*field;
  return true;
}

// A card's code of either kind: a hyphen makes it a 90-ball cartón's, whose place the
// run starts at.
bool SetCode(const std::string& value, CliOptions* o, std::string* why) {
  o->run.start.has_code = true;
  if (value.find('-') == std::string::npos)
    return Store(ParseCardCode(value), &CardCodeRead::seed_bits, &o->run.start.code_bits, why);
  const SeriesCodeRead read = ReadSeriesCode(value);
  *why = read.error;
  o->run.type = CardType::kSeries90;
  o->run.start.code_bits = read.series_seed;
  o->run.first_place = read.place;
  return read.error.empty();
}

bool SetSeries(const std::string& value, CliOptions* o, std::string* why) {
  const CountRead read = ParseSeriesCount(value);
  *why = read.error;
  o->series = read.count;
  return read.error.empty();
}

struct OptionRow {
  const char* name;
  const char* value;     // as the usage writes it; "" for none
  const char* help;      // the usage's lines, '\n' between them
  Takes takes;
  Setter set;
  unsigned works_in;     // the contexts that accept it
  unsigned opens;        // the context it puts the run in, 0 for none
  const char* refusing;  // what it says refusing an option its context does not accept
  const char* only_with;     // refused unless this option is given too
  const char* excludes;      // refused together with this one, for this reason:
  const char* exclusion;
};

const OptionRow kOptions[] = {
    {"--layout", "", "escribe el cartón como texto: tres líneas de nueve casillas,\n"
                     "\"07\" un número, \"--\" una casilla en blanco",
     Takes::kNothing, [](const std::string&, CliOptions* o, std::string*) { return o->layout = true; },
     kLayout, kLayout, "escribe un solo cartón como texto", nullptr, nullptr, nullptr},
    {"--count", "N", "cuántos cartones, de 1 a {limit} (por omisión 1)", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string* why) { return Store(ParseCount(v), &CountRead::count, &o->run.count, why); },
     kMaking | kWithoutFiles, 0, nullptr, nullptr, nullptr, nullptr},
    {"--out", "CARPETA", "dónde guardarlos: CARPETA/0001.bmp, 0002.bmp, ...\n"
                         "(por omisión ./muchas; se crea si falta)", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string*) { o->run.out = v; return true; },
     kMaking | kOfOneCode, 0, nullptr, nullptr, nullptr, nullptr},
    {"--colour", "RRGGBB", "color del cartón en hexadecimal (por omisión C0C0C0)", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string* why) { return Store(ParseColour(v), &ColourRead::colour, &o->run.colour, why); },
     kEveryRun, 0, nullptr, nullptr, nullptr, nullptr},
    {"--time", "HH:MM:SS.mmm", "la hora que siembra el primer cartón (por omisión, ahora)", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string* why) {
       o->run.start.has_time = true;
       return Store(ParseClockTime(v), &ClockTimeRead::milliseconds, &o->run.start.time_ms, why);
     },
     kEveryRun | kLayout, 0, nullptr, nullptr, nullptr, nullptr},
    {"--series", "N", "N series de seis cartones de 90 bolas, de 1 a {series}:\n"
                      "cada serie lleva del 1 al 90 una vez", Takes::kValue, SetSeries,
     kMaking | kWithoutFiles | kOfOneCode, 0, nullptr, nullptr, "--count",
     "--series ya dice cuántos cartones hace (seis por serie)"},
    {"--code", "XXXXXXXX", "el cartón de ese código (ocho cifras hexadecimales, o un\n"
                           "cartón de 90 como 4730F0-3), otra vez; con --series, la\n"
                           "primera serie es la de ese cartón", Takes::kValue, SetCode,
     kEveryRun | kLayout | kChecking, kOfOneCode, "hace un solo cartón", nullptr, "--time",
     "el código ya fija el cartón"},
    {"--png", "", "cartones PNG (0001.png, ...) en vez de BMP", Takes::kNothing,
     [](const std::string&, CliOptions* o, std::string*) { return o->run.png = true; },
     kMaking | kOfOneCode, 0, nullptr, nullptr, nullptr, nullptr},
    {"--list", "LISTA.csv", "la lista de los cartones: archivo, código y sus tres filas", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string*) { o->run.list = v; return true; },
     kEveryRun, 0, nullptr, nullptr, nullptr, nullptr},
    {"--pdf", "HOJAS.pdf", "los cartones en hojas para imprimir, cuatro por página,\n"
                           "y al final el tablero del cantor", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string*) { o->run.pdf = v; return true; },
     kEveryRun, 0, nullptr, nullptr, nullptr, nullptr},
    {"--paper", "a4|letter", "el papel de las hojas (por omisión a4)", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string* why) { return Store(ParsePaper(v), &PaperRead::paper, &o->run.paper, why); },
     kEveryRun, 0, nullptr, "--pdf", nullptr, nullptr},
    {"--title", "TEXTO", "un título en lo alto de cada hoja", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string* why) {
       o->run.title = v;
       *why = CheckTitle(v);
       if (!why->empty()) return false;
       const std::string lacks = SheetFaceLacks(v);
       if (!lacks.empty()) *why = "el título no se puede imprimir: " + lacks;
       return lacks.empty();
     },
     kEveryRun, 0, nullptr, "--pdf", nullptr, nullptr},
    {"--no-files", "", "sin archivos de cartones: solo las hojas o la lista", Takes::kNothing,
     [](const std::string&, CliOptions* o, std::string*) { return o->run.no_files = true; },
     kEveryRun, kWithoutFiles, "no guarda archivos de cartones", nullptr, nullptr, nullptr},
    {"--check", "[LISTA.csv]", "comprueba los cartones de la lista (o el de --code) con los\n"
                               "números cantados, y dice cuáles tienen premio", Takes::kOptionalValue,
     [](const std::string& v, CliOptions* o, std::string*) {
       o->check_list = v;
       return o->check = true;
     },
     kChecking, kChecking, "comprueba cartones ya hechos", nullptr, nullptr, nullptr},
    {"--called", "\"7 12 ...\"", "los números cantados, en orden, separados por espacios o comas",
     Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string*) {
       o->called = v;
       return o->has_called = true;
     },
     kChecking, 0, nullptr, "--check", "--called-file", "los números cantados vienen de uno de ellos"},
    {"--called-file", "F", "los números cantados, leídos de un archivo", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string*) { o->called_file = v; return true; },
     kChecking, 0, nullptr, "--check", nullptr, nullptr},
    {"--forecast", "LISTA.csv", "simula 10000 partidas con los cartones en juego de la lista:\n"
                                "bolas hasta la primera línea y hasta el bingo, y empates",
     Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string*) { o->forecast_list = v; return true; },
     kForecasting, kForecasting, "simula partidas con una lista", nullptr, nullptr, nullptr},
    {"--in-play", "RANGOS", "los cartones en juego, por número (\"1-250, 300-320\");\n"
                            "por omisión, todos", Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string*) { o->in_play = v; return true; },
     kForecasting, 0, nullptr, "--forecast", nullptr, nullptr},
    {"--verify-draw", "ACTA.csv", "comprueba el sorteo de una partida terminada: su clave\n"
                                  "contra el compromiso, y cada bola al azar contra la clave",
     Takes::kValue,
     [](const std::string& v, CliOptions* o, std::string*) { o->verify_draw = v; return true; },
     kVerifyingDraw, kVerifyingDraw, "comprueba el sorteo de un acta", nullptr, nullptr, nullptr},
    {"--help", "", "esta ayuda", Takes::kNothing,
     [](const std::string&, CliOptions* o, std::string*) { return o->help = true; },
     0, 0, nullptr, nullptr, nullptr, nullptr},
};

const OptionRow* RowOf(const std::string& name) {
  for (const OptionRow& row : kOptions)
    if (name == row.name) return &row;
  return nullptr;
}

// The options of the line, each once, as they were given.
struct Given {
  std::vector<const OptionRow*> rows;
  bool Has(const char* name) const {
    for (const OptionRow* row : rows)
      if (std::string(row->name) == name) return true;
    return false;
  }
};

// The options of a line that were given, in a Spanish enumeration: "--count, --out ni --png".
std::string Named(const std::vector<const char*>& given) {
  std::string text;
  for (size_t i = 0; i < given.size(); ++i) {
    if (i > 0) text += i + 1 == given.size() ? " ni " : ", ";
    text += given[i];
  }
  return text;
}

// What the option that opens a context says of the options given that it does not
// accept, in the table's order; "" when it is not given or accepts them all.
std::string ContextRefusal(const Given& given, const char* name) {
  const OptionRow& opener = *RowOf(name);
  if (!given.Has(name)) return "";
  std::vector<const char*> refused;
  for (const OptionRow& row : kOptions)
    if (given.Has(row.name) && (row.works_in & opener.opens) == 0) refused.push_back(row.name);
  if (refused.empty()) return "";
  return std::string(name) + " " + opener.refusing + ": no admite " + Named(refused);
}

// The first option given that is only valid with `partner`, which is not.
std::string OnlyWithRefusal(const Given& given, const char* partner) {
  if (given.Has(partner)) return "";
  for (const OptionRow& row : kOptions)
    if (given.Has(row.name) && row.only_with && std::string(row.only_with) == partner)
      return std::string(row.name) + " solo vale con " + partner;
  return "";
}

std::string ExclusionRefusal(const Given& given) {
  for (const OptionRow& row : kOptions)
    if (row.excludes && given.Has(row.name) && given.Has(row.excludes))
      return std::string(row.name) + " y " + row.excludes + " se excluyen: " + row.exclusion;
  return "";
}

std::string CheckingRefusal(const CliOptions& o, const Given& given) {
  std::string refusal = ContextRefusal(given, "--check");
  if (!refusal.empty()) return refusal;
  if (o.check_list.empty() && !o.run.start.has_code)
    return "--check necesita una lista (--check LISTA.csv) o un cartón (--check --code "
           "XXXXXXXX)";
  if (!o.check_list.empty() && o.run.start.has_code)
    return "--check comprueba una lista o un cartón de --code, no los dos";
  refusal = ExclusionRefusal(given);
  if (!refusal.empty()) return refusal;
  if (!o.has_called && o.called_file.empty())
    return "--check necesita los números cantados: --called \"7 12 33\" o --called-file "
           "ARCHIVO";
  return "";
}

// What the options given say together; "" when they go together. The order of the
// rules decides which refusal a line with several faults hears.
std::string CheckCombination(const CliOptions& o, const Given& given) {
  if (!o.verify_draw.empty()) return ContextRefusal(given, "--verify-draw");
  if (!o.forecast_list.empty()) return ContextRefusal(given, "--forecast");
  const std::string in_play = OnlyWithRefusal(given, "--forecast");
  if (!in_play.empty()) return in_play;
  if (o.check) return CheckingRefusal(o, given);
  for (const std::string& refusal :
       {OnlyWithRefusal(given, "--check"), ExclusionRefusal(given)})
    if (!refusal.empty()) return refusal;
  if (o.layout) return ContextRefusal(given, "--layout");
  std::string refusal = ContextRefusal(given, "--code");
  if (refusal.empty()) refusal = OnlyWithRefusal(given, "--pdf");
  if (!refusal.empty()) return refusal;
  if (o.run.no_files && o.run.pdf.empty() && o.run.list.empty())
    return "--no-files necesita --pdf o --list: sin archivos de cartones no haría nada más";
  refusal = ContextRefusal(given, "--no-files");
  if (!refusal.empty()) return refusal;
  if (!o.run.list.empty() && o.run.list == o.run.pdf)
    return "--list y --pdf no pueden ser el mismo archivo: " + EscapedText(o.run.list);
  return "";
}

// A run of series, from --series and a cartón's --code: six cartones a series, starting
// at the code's series; "" or why the two do not go together.
std::string TakeSeries(CliOptions* o) {
  const bool series_code = o->run.start.has_code && o->run.type == CardType::kSeries90;
  if (o->series == 0) {
    if (series_code && !o->check && !o->layout && (!o->run.list.empty() || !o->run.pdf.empty()))
      return "--code de un cartón de 90 hace un solo cartón, y la lista y las hojas llevan "
             "series enteras: --series N --code " +
             SeriesCode(o->run.start.code_bits, 1) + " las hace desde su serie";
    return "";
  }
  if (o->run.start.has_code && !series_code)
    return "--series necesita el código de un cartón de 90 (como 4730F0-1): " +
           CardCode(o->run.start.code_bits) + " es de un cartón de 1 a 99";
  o->run.type = CardType::kSeries90;
  o->run.count = o->series * kCardsPerSeries;
  o->run.first_place = 1;
  return "";
}

// The option's value from the words after it (moving *at past them), and its setting.
bool TakeOption(const OptionRow& row, int argc, const char* const* argv, int* at,
                CliOptions* options, std::string* error) {
  const std::string name = row.name;
  std::string value;
  // An optional value is the next word unless that is an option: --check --code XXXXXXXX.
  const bool has_next = *at + 1 < argc;
  if (row.takes == Takes::kValue && !has_next) {
    *error = "falta el valor de " + name;
    return false;
  }
  if (row.takes == Takes::kValue ||
      (row.takes == Takes::kOptionalValue && has_next &&
       std::string(argv[*at + 1]).rfind("--", 0) != 0)) {
    value = argv[++*at];
    if (value.empty()) {
      *error = "el valor de " + name + " está vacío";
      return false;
    }
  }
  std::string why;
  if (row.set(value, options, &why)) return true;
  *error = name + ": " + why;
  return false;
}

// "  --count N            cuántos cartones, ...": the option and its value, then its help
// from the 24th column on.
void AppendUsageRow(const OptionRow& row, std::string* usage) {
  std::string label = std::string("  ") + row.name + (*row.value ? " " : "") + row.value;
  label.resize(23, ' ');
  std::string help = row.help;
  const std::pair<const char*, int32_t> limits[] = {{"{limit}", kBatchLimit},
                                                    {"{series}", kMostSeries}};
  for (const auto& limit : limits) {
    const size_t at = help.find(limit.first);
    if (at != std::string::npos)
      help.replace(at, std::string(limit.first).size(), std::to_string(limit.second));
  }
  for (size_t from = 0, end = 0; from < help.size(); from = end + 1) {
    end = help.find('\n', from);
    if (end == std::string::npos) end = help.size();
    *usage += (from == 0 ? label : std::string(23, ' ')) + help.substr(from, end - from) + "\n";
  }
}
}  // namespace

// The options of making cards first, then those of the other uses, each in the table's order.
std::string CliUsage() {
  std::string usage =
      "Uso: tessarine-cards [--count N | --code XXXXXXXX] [--out CARPETA] [--colour RRGGBB]\n"
      "                     [--time HH:MM:SS.mmm] [--png] [--list LISTA.csv]\n"
      "                     [--pdf HOJAS.pdf [--paper a4|letter] [--title TEXTO] [--no-files]]\n"
      "     tessarine-cards --series N [--code XXXXXX-1 | --time HH:MM:SS.mmm] [--out CARPETA]\n"
      "                     [--png] [--list LISTA.csv] [--pdf HOJAS.pdf ...] [--no-files]\n"
      "     tessarine-cards --layout [--time HH:MM:SS.mmm | --code XXXXXXXX | --code XXXXXX-3]\n"
      "     tessarine-cards --check LISTA.csv --called \"7 12 33 ...\"\n"
      "     tessarine-cards --check --code XXXXXXXX --called-file CANTADOS.txt\n"
      "     tessarine-cards --forecast LISTA.csv [--in-play 1-250]\n"
      "     tessarine-cards --verify-draw ACTA.csv\n"
      "\n"
      "Hace cartones del bingo sin ventana, y comprueba los premios que se cantan.\n"
      "\n";
  for (const OptionRow& row : kOptions)
    if ((row.works_in & kMaking) != 0) AppendUsageRow(row, &usage);
  for (const OptionRow& row : kOptions)
    if ((row.works_in & kMaking) == 0) AppendUsageRow(row, &usage);
  return usage;
}

CliParse ParseCliOptions(int argc, const char* const* argv) {
  CliParse parsed;
  Given given;
  for (int i = 1; i < argc; ++i) {
    const OptionRow* row = RowOf(argv[i]);
    if (row == nullptr) {
      parsed.error = "opción desconocida: " + QuotedText(argv[i]) + " (--help muestra el uso)";
      return parsed;
    }
    given.rows.push_back(row);
    if (!TakeOption(*row, argc, argv, &i, &parsed.options, &parsed.error)) return parsed;
  }
  if (!parsed.options.help) parsed.error = CheckCombination(parsed.options, given);
  if (!parsed.options.help && parsed.error.empty())
    parsed.error = TakeSeries(&parsed.options);
  return parsed;
}
