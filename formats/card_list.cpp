// The card list: five CSV fields a card, each record checked against its code.
#include "formats/card_list.h"

#include "card/card_code.h"
#include "card/series.h"
#include "card/series_check.h"
#include "card/series_code.h"
#include "text/quoted_text.h"
#include "disk/file_system.h"
#include "disk/read_file_saying.h"
#include "text/csv.h"
#include "text/utf8.h"

#include <unordered_map>

const char* const kCardListHeader = "archivo,codigo,fila1,fila2,fila3";
const char* const kSeriesListHeader = "archivo,codigo,fila1,fila2,fila3,serie,lugar";

namespace {
constexpr size_t kFields = 5;
constexpr size_t kSeriesFields = 7;
constexpr const char* kLineEnd = "\r\n";
// The program writes names of eight bytes; a name far longer is no card file's.
constexpr size_t kMostFileNameBytes = 100;

std::string AtLine(int line) { return "línea " + std::to_string(line) + ": "; }

// Why a card's file name is not a plain name as the program writes ("0001.bmp"); "" when
// it is one. The name is printed in a winner's line: one that could break the line,
// start a terminal sequence or point into another folder is no card's.
std::string FileNameFault(const std::string& name) {
  if (name.size() > kMostFileNameBytes)
    return "es demasiado largo (como mucho " + std::to_string(kMostFileNameBytes) + " bytes)";
  if (name == "." || name == "..") return "no es un nombre de archivo";
  for (const char* at = name.c_str(); at < name.c_str() + name.size();) {
    const char* was = at;
    const uint32_t c = NextCodepoint(at);
    if (c == kReplacementCharacter && std::string(was, static_cast<size_t>(at - was)) !=
                                          "\xEF\xBF\xBD")
      return "no es texto UTF-8 válido";
    if (IsControlCharacter(c) || IsDirectionMark(c)) return "lleva caracteres de control";
    if (c == '/' || c == '\\' || c == ':') return "lleva separadores de carpeta";
  }
  return "";
}

bool IsEmptyRecord(const std::vector<std::string>& fields) {
  return fields.size() == 1 && fields[0].empty();
}

struct ListLineRead {
  ListLine line;
  std::string error;
};

// The card a code names, in a list of that kind: a code of the other kind is refused,
// so that one list never mixes cards of two cages.
ListLineRead CardOfCode(const std::string& file_name, const std::string& code, CardType type) {
  ListLineRead read;
  const bool series_code = code.find('-') != std::string::npos;
  if (type == CardType::kAnywhere99) {
    if (series_code && ReadSeriesCode(code).error.empty()) {
      read.error = QuotedText(code) + " es un cartón de 90 bolas y la lista es de cartones "
                   "de 1 a 99: una lista no mezcla los dos tipos";
      return read;
    }
    const CardCodeRead bits = ParseCardCode(code);
    read.error = bits.error;
    if (read.error.empty()) read.line = ListLineOf(file_name, bits.seed_bits);
    return read;
  }
  if (!series_code && ParseCardCode(code).error.empty()) {
    read.error = QuotedText(code) + " es un cartón de 1 a 99 y la lista es de series de 90 "
                 "bolas: una lista no mezcla los dos tipos";
    return read;
  }
  const SeriesCodeRead series = ReadSeriesCode(code);
  read.error = series.error;
  if (read.error.empty()) read.line = SeriesListLineOf(file_name, series.series_seed, series.place);
  return read;
}

bool CheckCardRecord(const std::vector<std::string>& fields, int line, CardType type,
                     ListLine* card, std::string* error) {
  const size_t expected_fields = type == CardType::kSeries90 ? kSeriesFields : kFields;
  if (fields.size() != expected_fields) {
    *error = AtLine(line) + "se esperaban " + std::to_string(expected_fields) + " campos (" +
             (type == CardType::kSeries90 ? kSeriesListHeader : kCardListHeader) + ") y hay " +
             std::to_string(fields.size());
    return false;
  }
  if (fields[0].empty()) {
    *error = AtLine(line) + "falta el nombre del archivo del cartón";
    return false;
  }
  const std::string fault = FileNameFault(fields[0]);
  if (!fault.empty()) {
    *error = AtLine(line) + "el nombre del archivo del cartón " + fault + ": " +
             QuotedText(fields[0]) + " (se espera un nombre simple, como 0001.bmp)";
    return false;
  }
  const ListLineRead read = CardOfCode(fields[0], fields[1], type);
  if (!read.error.empty()) {
    *error = AtLine(line) + read.error;
    return false;
  }
  *card = read.line;
  for (int row = 0; row < kCardRows; ++row) {
    const std::string expected = LayoutRowText(card->layout, row);
    if (fields[2 + row] != expected) {
      *error = AtLine(line) + "la fila " + std::to_string(row + 1) + " no es la del cartón " +
               ListLineCode(*card) + ": dice " + QuotedText(fields[2 + row]) + " y el código da " +
               QuotedText(expected);
      return false;
    }
  }
  return true;
}
// The series a list is reading: its number in the list and its cartones so far.
struct SeriesInList {
  int number = 0;  // 1, 2, ... in the list; 0 before the first
  int first_line = 0;
  size_t first = 0;  // its first cartón among the lines read
  size_t cards = 0;
};

struct SeriesReading {
  SeriesInList under_way;
  std::unordered_map<uint32_t, int> seen;  // series seed -> its number in the list
};

// 1 to 99999 written in digits alone, else 0.
int SmallNumber(const std::string& text) {
  if (text.empty() || text.size() > 5) return 0;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string SeriesCutText(const SeriesInList& series) {
  return "la serie " + std::to_string(series.number) + " (desde la línea " +
         std::to_string(series.first_line) + ") se corta: tiene " + std::to_string(series.cards) +
         " cartones de " + std::to_string(kCardsPerSeries);
}

// Why a cartón's serie and lugar do not go where it stands in the list; "" when they do.
std::string SeriesPlaceFault(const std::vector<std::string>& fields, const ListLine& card,
                             const SeriesInList& under_way) {
  const int place = SmallNumber(fields[6]);
  if (place < 1 || place > kCardsPerSeries)
    return "el lugar " + QuotedText(fields[6]) + " no es un número de 1 a 6";
  if (place != card.place)
    return "el lugar " + fields[6] + " no es el del código " + ListLineCode(card);
  const int number = SmallNumber(fields[5]);
  if (number < 1) return "la serie " + QuotedText(fields[5]) + " no es un número de serie";
  const bool open = under_way.cards > 0 && under_way.cards < kCardsPerSeries;
  if (open && (place == 1 || number != under_way.number)) return SeriesCutText(under_way);
  if (open && place != int(under_way.cards) + 1)
    return "el cartón " + ListLineCode(card) + " va en el lugar " +
           std::to_string(under_way.cards + 1) + " de la serie " +
           std::to_string(under_way.number) + ": los seis van en orden";
  if (!open && place != 1)
    return "la serie " + fields[5] + " empieza por el lugar " + fields[6] +
           " (una serie va del lugar 1 al 6, en orden)";
  if (!open && number != under_way.number + 1)
    return "la serie se numera " + fields[5] + " y tocaba la " +
           std::to_string(under_way.number + 1) + " (cada serie una vez, en orden)";
  return "";
}

// Why the six cartones just read are not one whole series; "" when they are.
std::string WholeSeriesFault(const std::vector<ListLine>& lines, SeriesReading* reading) {
  const SeriesInList& series = reading->under_way;
  CardSeries six;
  for (size_t i = 0; i < six.card.size(); ++i) six.card[i] = lines[series.first + i].layout;
  const std::string named = "la serie " + std::to_string(series.number) + ": ";
  const std::string rules = CheckSeries(six);
  if (!rules.empty()) return named + rules;
  const uint32_t seed = lines[series.first].seed_bits;
  for (size_t i = 1; i < six.card.size(); ++i)
    if (lines[series.first + i].seed_bits != seed)
      return named + "mezcla cartones de dos series (" + ListLineCode(lines[series.first]) +
             " y " + ListLineCode(lines[series.first + i]) + ")";
  const auto [at, added] = reading->seen.emplace(seed, series.number);
  if (!added)
    return named + "repite la serie " + std::to_string(at->second) + " (" +
           SeriesCode(seed, 1).substr(0, 6) + ")";
  return "";
}

// A series list's record after its card is read: where it goes in its series, and the
// series checked whole once its sixth cartón is in.
std::string TakeSeriesRecord(const std::vector<std::string>& fields, int line,
                             const std::vector<ListLine>& lines, SeriesReading* reading) {
  SeriesInList& series = reading->under_way;
  const std::string fault = SeriesPlaceFault(fields, lines.back(), series);
  if (!fault.empty()) return AtLine(line) + fault;
  if (series.cards == 0 || series.cards == kCardsPerSeries) {
    series.number += 1;
    series.first_line = line;
    series.first = lines.size() - 1;
    series.cards = 0;
  }
  if (++series.cards < kCardsPerSeries) return "";
  const std::string whole = WholeSeriesFault(lines, reading);
  if (whole.empty()) return "";
  return "líneas " + std::to_string(series.first_line) + " a " + std::to_string(line) + ": " +
         whole;
}

void AppendSeriesFields(std::string* out, const ListLine& line, int* series_number) {
  if (line.place == 1) ++*series_number;
  *out += ',';
  *out += std::to_string(*series_number);
  *out += ',';
  *out += std::to_string(line.place);
}
}  // namespace

ListLine ListLineOf(const std::string& file_name, uint32_t seed_bits) {
  ListLine line;
  line.file_name = file_name;
  line.seed_bits = seed_bits;
  line.layout = PlanCard(seed_bits);
  return line;
}

ListLine SeriesListLineOf(const std::string& file_name, uint32_t series_seed, int place) {
  ListLine line;
  line.file_name = file_name;
  line.seed_bits = series_seed & kSeriesSeedMask;
  line.layout = MakeSeriesCard(series_seed, place);
  line.type = CardType::kSeries90;
  line.place = place;
  return line;
}

std::string ListLineCode(const ListLine& line) {
  return line.type == CardType::kSeries90 ? SeriesCode(line.seed_bits, line.place)
                                          : CardCode(line.seed_bits);
}

uint32_t ListLineKey(const ListLine& line) {
  // A series' seed has 24 bits: the place fits above them.
  return line.type == CardType::kSeries90 ? line.seed_bits | uint32_t(line.place) << 24
                                          : line.seed_bits;
}

std::string CardListBytes(const std::vector<ListLine>& lines) {
  std::string out;
  // About 110 bytes a card: file name, code and three rows of 26.
  out.reserve(40 + lines.size() * (3 * 27 + 12 + 12));
  const bool series = !lines.empty() && lines[0].type == CardType::kSeries90;
  out += series ? kSeriesListHeader : kCardListHeader;
  out += kLineEnd;
  int series_number = 0;
  for (const ListLine& line : lines) {
    AppendCsvField(&out, line.file_name);
    out += ',';
    out += ListLineCode(line);
    for (int row = 0; row < kCardRows; ++row) {
      out += ',';
      AppendCsvField(&out, LayoutRowText(line.layout, row));
    }
    if (series) AppendSeriesFields(&out, line, &series_number);
    out += kLineEnd;
  }
  return out;
}

CardListParse ParseCardList(const std::string& bytes) {
  const std::string not_ours = std::string("no es una lista de cartones de Tessarine: la primera "
                                           "línea tiene que ser ") + kCardListHeader;
  CardListParse parsed;
  CsvReader reader{bytes};
  // Spreadsheets may put a byte-order mark before the header.
  reader.at = ByteOrderMarkLength(bytes);
  if (reader.at >= bytes.size()) {
    parsed.error = "el archivo está vacío: " + not_ours;
    return parsed;
  }
  const CsvRecord first = ReadCsvRecord(&reader);
  std::vector<std::string> header{"archivo", "codigo", "fila1", "fila2", "fila3"};
  const bool plain = first.fields == header;
  header.insert(header.end(), {"serie", "lugar"});
  if (!first.error.empty() || (!plain && first.fields != header)) {
    parsed.error = not_ours + " (o, para series de 90 bolas, " + kSeriesListHeader + ")";
    return parsed;
  }
  const CardType type = plain ? CardType::kAnywhere99 : CardType::kSeries90;
  SeriesReading series;
  while (reader.at < bytes.size() && parsed.error.empty()) {
    const int line = reader.line;
    const CsvRecord record = ReadCsvRecord(&reader);
    parsed.error = record.error;
    if (!parsed.error.empty() || IsEmptyRecord(record.fields)) continue;
    ListLine card;
    if (!CheckCardRecord(record.fields, line, type, &card, &parsed.error)) continue;
    parsed.lines.push_back(std::move(card));
    if (type == CardType::kSeries90)
      parsed.error = TakeSeriesRecord(record.fields, line, parsed.lines, &series);
  }
  const size_t cut = series.under_way.cards % kCardsPerSeries;
  if (parsed.error.empty() && cut != 0)
    parsed.error = AtLine(reader.line) + SeriesCutText(series.under_way);
  if (!parsed.error.empty()) parsed.lines.clear();
  return parsed;
}

CardListFile ReadCardList(const std::string& path) {
  CardListFile list;
  FileRead read = ReadFileSaying(path, kMostCardListBytes, "una lista de cartones");
  list.error = read.error;
  if (!list.error.empty()) return list;
  CardListParse parsed = ParseCardList(read.bytes);
  if (!parsed.error.empty()) list.error = EscapedText(path) + ": " + parsed.error;
  list.lines = std::move(parsed.lines);
  list.bytes = std::move(read.bytes);
  return list;
}
