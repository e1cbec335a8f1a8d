// A file replaced whole from bytes in memory: the streaming replacement of the platform's
// file_system_*.cpp, given every piece at once, so that there is one way files are
// replaced whatever their size.
#include "disk/file_system.h"

SaveError ReplaceFileWith(const std::string& path, const ByteSpan* parts, size_t part_count) {
  FileReplacement file;
  if (BeginReplacement(path, &file) != SaveError::kNone) return file.error;
  for (size_t i = 0; i < part_count; ++i)
    if (AppendToReplacement(&file, parts[i].data, parts[i].size) != SaveError::kNone)
      return file.error;
  return CommitReplacement(&file);
}
