#include "disk/read_file_saying.h"

#include "card/quoted_text.h"
#include "disk/read_file.h"

bool ReadFileSaying(const std::string& path, size_t most_bytes, const char* what,
                    std::string* bytes, std::string* error) {
  switch (ReadFileBytes(path, most_bytes, bytes)) {
    case ReadResult::kRead:
      return true;
    case ReadResult::kMissing:
      *error = EscapedText(path) + ": no existe";
      return false;
    case ReadResult::kNotRegularFile:
      *error = EscapedText(path) +
               ": no es un archivo normal (una carpeta, un FIFO o un dispositivo no se leen)";
      return false;
    case ReadResult::kTooLarge:
      *error = EscapedText(path) + ": es demasiado grande para ser " + what;
      return false;
    case ReadResult::kFailed:
      break;
  }
  *error = EscapedText(path) + ": no se pudo leer";
  return false;
}
