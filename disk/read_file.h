// Reading a whole file into memory, one small file per platform. Paths are UTF-8. The
// file is only read: it is opened for reading and shared with other readers and writers.
#pragma once
#include <cstddef>
#include <string>

enum class ReadResult { kRead, kMissing, kTooLarge, kFailed };

// The file's bytes in *bytes. A file longer than most_bytes is not read (kTooLarge);
// a folder, or anything that cannot be opened or read to its end, is kFailed.
ReadResult ReadFileBytes(const std::string& path, size_t most_bytes, std::string* bytes);
