// Reading a whole file into memory, one small file per platform. Paths are UTF-8. The
// file is only read: it is opened for reading and shared with other readers and writers.
#pragma once
#include <cstddef>
#include <string>

enum class ReadResult { kRead, kMissing, kNotRegularFile, kTooLarge, kFailed };

// The file's bytes in *bytes. A file longer than most_bytes is not read (kTooLarge).
// Anything but a regular file (a folder, a FIFO, a device) is kNotRegularFile, told from
// its type before it is opened, so that no FIFO is waited on and no device touched;
// anything that cannot be opened or read to its end is kFailed.
ReadResult ReadFileBytes(const std::string& path, size_t most_bytes, std::string* bytes);
