#include "disk/read_file_saying.h"

#include "text/quoted_text.h"
#include "disk/read_file.h"

namespace {
std::string WhyNotRead(ReadResult result, const char* what) {
  switch (result) {
    case ReadResult::kRead:
      return "";
    case ReadResult::kMissing:
      return ": no existe";
    case ReadResult::kNotRegularFile:
      return ": no es un archivo normal (una carpeta, un FIFO o un dispositivo no se leen)";
    case ReadResult::kTooLarge:
      return std::string(": es demasiado grande para ser ") + what;
    case ReadResult::kFailed:
      break;
  }
  return ": no se pudo leer";
}
}  // namespace

FileRead ReadFileSaying(const std::string& path, size_t most_bytes, const char* what) {
  FileRead read;
  const ReadResult result = ReadFileBytes(path, most_bytes, &read.bytes);
  if (result != ReadResult::kRead) {
    read.bytes.clear();
    read.error = EscapedText(path) + WhyNotRead(result, what);
  }
  return read;
}
