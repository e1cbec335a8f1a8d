#include "bingo/kept_choice.h"

#include "disk/file_system.h"
#include "disk/read_file.h"
#include "text/trim.h"

std::string ReadKeptChoice(const std::string& path) {
  std::string bytes;
  if (ReadFileBytes(path, 4096, &bytes) != ReadResult::kRead) return "";
  return Trimmed(bytes);
}

std::string KeepChoice(const std::string& path, const std::string& value, const std::string& what) {
  const std::string line = value + "\n";
  const ByteSpan part{line.data(), line.size()};
  if (ReadKeptChoice(path) == value) return "";
  if (ReplaceFileWith(path, &part, 1) == SaveError::kNone) return "";
  return "No se pudo guardar " + what + " en " + path;
}
