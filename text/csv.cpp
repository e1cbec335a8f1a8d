// RFC 4180 written and read by hand: the program's files are a few plain fields a line.
#include "text/csv.h"

namespace {
std::string AtLine(int line) { return "línea " + std::to_string(line) + ": "; }

bool AtRecordEnd(const CsvReader& r) {
  return r.at >= r.bytes.size() || r.bytes[r.at] == '\n' ||
         (r.bytes[r.at] == '\r' && r.at + 1 < r.bytes.size() && r.bytes[r.at + 1] == '\n');
}

void SkipRecordEnd(CsvReader* r) {
  if (r->at < r->bytes.size() && r->bytes[r->at] == '\r') ++r->at;
  if (r->at < r->bytes.size() && r->bytes[r->at] == '\n') {
    ++r->at;
    ++r->line;
  }
}

// A field in quotes, the reader at its opening quote; "" error when it reads whole.
std::string ReadQuotedField(CsvReader* r, std::string* field) {
  const int start_line = r->line;
  ++r->at;
  for (;;) {
    if (r->at >= r->bytes.size()) return AtLine(start_line) + "unas comillas abiertas no se cierran";
    const char c = r->bytes[r->at++];
    if (c == '"') {
      if (r->at < r->bytes.size() && r->bytes[r->at] == '"') {
        *field += '"';
        ++r->at;
        continue;
      }
      break;
    }
    if (c == '\n') ++r->line;
    *field += c;
  }
  if (!AtRecordEnd(*r) && r->bytes[r->at] != ',')
    return AtLine(r->line) + "sobran caracteres tras las comillas de un campo";
  return "";
}

std::string ReadPlainField(CsvReader* r, std::string* field) {
  while (!AtRecordEnd(*r) && r->bytes[r->at] != ',') {
    if (r->bytes[r->at] == '"')
      return AtLine(r->line) + "comillas dentro de un campo que no empieza con comillas";
    *field += r->bytes[r->at++];
  }
  return "";
}
}  // namespace

void AppendCsvField(std::string* out, const std::string& field) {
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

std::string CsvField(const std::string& field) {
  std::string out;
  AppendCsvField(&out, field);
  return out;
}

CsvRecord ReadCsvRecord(CsvReader* r) {
  CsvRecord record;
  for (;;) {
    std::string field;
    const bool quoted = r->at < r->bytes.size() && r->bytes[r->at] == '"';
    record.error = quoted ? ReadQuotedField(r, &field) : ReadPlainField(r, &field);
    if (!record.error.empty()) return record;
    record.fields.push_back(std::move(field));
    if (AtRecordEnd(*r)) break;
    ++r->at;  // the comma
  }
  SkipRecordEnd(r);
  return record;
}
