// CSV fields as RFC 4180 has them: a field is quoted only when it holds a comma, a quote
// or a line break, a quote inside doubled. Records are read one at a time from bytes,
// with CRLF and LF line ends alike.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

void AppendCsvField(std::string* out, const std::string& field);
std::string CsvField(const std::string& field);

// Where reading stands in the bytes: `line` is the line `at` is on (from 1).
struct CsvReader {
  const std::string& bytes;
  size_t at = 0;
  int line = 1;
};

// One record's fields, or the Spanish text of its fault, naming its line ("línea 3: ...").
struct CsvRecord {
  std::vector<std::string> fields;
  std::string error;
};

// The record at the reader, which moves past it and its line end.
CsvRecord ReadCsvRecord(CsvReader* reader);
