// The card list: five CSV fields a card, each record checked against its code.
#include "formats/card_list.h"

#include "card/card_code.h"
#include "card/series.h"
#include "card/series_code.h"
#include "text/quoted_text.h"
#include "disk/file_system.h"
#include "disk/read_file_saying.h"
#include "text/csv.h"
#include "text/utf8.h"

const char* const kCardListHeader = "archivo,codigo,fila1,fila2,fila3";

namespace {
constexpr size_t kFields = 5;
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

bool CheckCardRecord(const std::vector<std::string>& fields, int line, ListLine* card,
                     std::string* error) {
  if (fields.size() != kFields) {
    *error = AtLine(line) + "se esperaban 5 campos (" + kCardListHeader + ") y hay " +
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
  const CardCodeRead code = ParseCardCode(fields[1]);
  if (!code.error.empty()) {
    *error = AtLine(line) + code.error;
    return false;
  }
  const uint32_t seed_bits = code.seed_bits;
  *card = ListLineOf(fields[0], seed_bits);
  for (int row = 0; row < kCardRows; ++row) {
    const std::string expected = LayoutRowText(card->layout, row);
    if (fields[2 + row] != expected) {
      *error = AtLine(line) + "la fila " + std::to_string(row + 1) + " no es la del cartón " +
               CardCode(seed_bits) + ": dice " + QuotedText(fields[2 + row]) + " y el código da " +
               QuotedText(expected);
      return false;
    }
  }
  return true;
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
  out += kCardListHeader;
  out += kLineEnd;
  for (const ListLine& line : lines) {
    AppendCsvField(&out, line.file_name);
    out += ',';
    out += CardCode(line.seed_bits);
    for (int row = 0; row < kCardRows; ++row) {
      out += ',';
      AppendCsvField(&out, LayoutRowText(line.layout, row));
    }
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
  const std::vector<std::string> header{"archivo", "codigo", "fila1", "fila2", "fila3"};
  if (!first.error.empty() || first.fields != header) {
    parsed.error = not_ours;
    return parsed;
  }
  while (reader.at < bytes.size() && parsed.error.empty()) {
    const int line = reader.line;
    const CsvRecord record = ReadCsvRecord(&reader);
    parsed.error = record.error;
    if (!parsed.error.empty() || IsEmptyRecord(record.fields)) continue;
    ListLine card;
    if (CheckCardRecord(record.fields, line, &card, &parsed.error))
      parsed.lines.push_back(std::move(card));
  }
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
