// Reading a record's CSV back, for checking its draw: RFC 4180 fields, CRLF or LF line
// ends, every line of the header's seven columns.
#include "game/record.h"

namespace {
constexpr size_t kRecordColumns = 7;
constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

struct CsvLines {
  std::vector<std::vector<std::string>> lines;
  bool open_quote = false;  // the text ended inside a quoted field
};

CsvLines SplitCsv(const std::string& text) {
  CsvLines csv;
  std::vector<std::string> line(1);
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      line.back() += text[++i];
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      line.emplace_back();
    } else if (!quoted && (c == '\n' || (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))) {
      if (c == '\r') ++i;
      csv.lines.push_back(line);
      line.assign(1, "");
    } else {
      line.back() += c;
    }
  }
  if (line.size() > 1 || !line[0].empty()) csv.lines.push_back(line);
  csv.open_quote = quoted;
  return csv;
}
}  // namespace

RecordRead ReadRecordCsv(const std::string& bytes) {
  RecordRead read;
  const bool marked = bytes.rfind(kByteOrderMark, 0) == 0;
  const CsvLines csv = SplitCsv(marked ? bytes.substr(3) : bytes);
  std::string header;
  for (const std::string& field : csv.lines.empty() ? std::vector<std::string>() : csv.lines[0])
    header += (header.empty() ? "" : ",") + field;
  if (header != kRecordHeader) {
    read.error = "no es el acta de una partida de Tessarine (su cabecera no es \"" +
                 std::string(kRecordHeader) + "\")";
    return read;
  }
  if (csv.open_quote) {
    read.error = "su última línea está cortada (una comilla sin cerrar)";
    return read;
  }
  for (size_t i = 1; i < csv.lines.size(); ++i) {
    const std::vector<std::string>& f = csv.lines[i];
    if (f.size() != kRecordColumns) {
      read.error = "línea " + std::to_string(i + 1) + ": no tiene las " +
                   std::to_string(kRecordColumns) + " columnas del acta";
      return read;
    }
    read.rows.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6]});
  }
  return read;
}
