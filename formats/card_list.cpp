// The card list: RFC 4180 written and read by hand (the format is five plain fields; a
// field is quoted only when it holds a comma, a quote or a line break).
#include "formats/card_list.h"

#include "card/card_code.h"
#include "card/quoted_text.h"
#include "disk/file_system.h"
#include "disk/read_file_saying.h"
#include "draw/utf8.h"

const char* const kCardListHeader = "archivo,codigo,fila1,fila2,fila3";

namespace {
constexpr size_t kFields = 5;
constexpr const char* kLineEnd = "\r\n";
// The program writes names of eight bytes; a name far longer is no card file's.
constexpr size_t kMostFileNameBytes = 100;

void AppendField(std::string* out, const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) {
    *out += field;
    return;
  }
  *out += '"';
  for (char c : field) {
    if (c == '"') *out += '"';
    *out += c;
  }
  *out += '"';
}

std::string AtLine(int line) { return "línea " + std::to_string(line) + ": "; }

// One record read from `at`; `line` is the line it starts on and moves past it.
struct Reader {
  const std::string& bytes;
  size_t at = 0;
  int line = 1;
};

bool AtRecordEnd(const Reader& r) {
  return r.at >= r.bytes.size() || r.bytes[r.at] == '\n' ||
         (r.bytes[r.at] == '\r' && r.at + 1 < r.bytes.size() && r.bytes[r.at + 1] == '\n');
}

void SkipRecordEnd(Reader* r) {
  if (r->at < r->bytes.size() && r->bytes[r->at] == '\r') ++r->at;
  if (r->at < r->bytes.size() && r->bytes[r->at] == '\n') {
    ++r->at;
    ++r->line;
  }
}

bool ReadRecord(Reader* r, std::vector<std::string>* fields, std::string* error) {
  fields->clear();
  const int start_line = r->line;
  for (;;) {
    std::string field;
    if (r->at < r->bytes.size() && r->bytes[r->at] == '"') {
      ++r->at;
      for (;;) {
        if (r->at >= r->bytes.size()) {
          *error = AtLine(start_line) + "unas comillas abiertas no se cierran";
          return false;
        }
        const char c = r->bytes[r->at++];
        if (c == '"') {
          if (r->at < r->bytes.size() && r->bytes[r->at] == '"') {
            field += '"';
            ++r->at;
            continue;
          }
          break;
        }
        if (c == '\n') ++r->line;
        field += c;
      }
      if (!AtRecordEnd(*r) && r->bytes[r->at] != ',') {
        *error = AtLine(r->line) + "sobran caracteres tras las comillas de un campo";
        return false;
      }
    } else {
      while (!AtRecordEnd(*r) && r->bytes[r->at] != ',') {
        if (r->bytes[r->at] == '"') {
          *error = AtLine(r->line) + "comillas dentro de un campo que no empieza con comillas";
          return false;
        }
        field += r->bytes[r->at++];
      }
    }
    fields->push_back(std::move(field));
    if (AtRecordEnd(*r)) break;
    ++r->at;  // the comma
  }
  SkipRecordEnd(r);
  return true;
}

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
  uint32_t seed_bits = 0;
  std::string why;
  if (!ParseCardCode(fields[1], &seed_bits, &why)) {
    *error = AtLine(line) + why;
    return false;
  }
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

std::string CardListBytes(const std::vector<ListLine>& lines) {
  std::string out;
  // About 110 bytes a card: file name, code and three rows of 26.
  out.reserve(40 + lines.size() * (3 * 27 + 12 + 12));
  out += kCardListHeader;
  out += kLineEnd;
  for (const ListLine& line : lines) {
    AppendField(&out, line.file_name);
    out += ',';
    out += CardCode(line.seed_bits);
    for (int row = 0; row < kCardRows; ++row) {
      out += ',';
      AppendField(&out, LayoutRowText(line.layout, row));
    }
    out += kLineEnd;
  }
  return out;
}

bool ParseCardList(const std::string& bytes, std::vector<ListLine>* lines, std::string* error) {
  const std::string not_ours = std::string("no es una lista de cartones de Tessarine: la primera "
                                           "línea tiene que ser ") + kCardListHeader;
  Reader reader{bytes};
  // Spreadsheets may put a byte-order mark before the header.
  reader.at = ByteOrderMarkLength(bytes);
  std::vector<std::string> fields;
  std::string why;
  if (reader.at >= bytes.size()) {
    *error = "el archivo está vacío: " + not_ours;
    return false;
  }
  if (!ReadRecord(&reader, &fields, &why)) {
    *error = not_ours;
    return false;
  }
  const std::vector<std::string> header{"archivo", "codigo", "fila1", "fila2", "fila3"};
  if (fields != header) {
    *error = not_ours;
    return false;
  }
  std::vector<ListLine> read;
  while (reader.at < bytes.size()) {
    const int line = reader.line;
    if (!ReadRecord(&reader, &fields, error)) return false;
    if (IsEmptyRecord(fields)) continue;
    ListLine card;
    if (!CheckCardRecord(fields, line, &card, error)) return false;
    read.push_back(std::move(card));
  }
  lines->swap(read);
  return true;
}

bool ReadCardList(const std::string& path, std::vector<ListLine>* lines, std::string* error) {
  std::string bytes;
  if (!ReadFileSaying(path, kMostCardListBytes, "una lista de cartones", &bytes, error))
    return false;
  std::string why;
  if (!ParseCardList(bytes, lines, &why)) {
    *error = EscapedText(path) + ": " + why;
    return false;
  }
  return true;
}
