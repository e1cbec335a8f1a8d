// The few file-system services the card files need, one small file per platform.
// Paths are UTF-8.
#pragma once
#include <cstddef>
#include <string>

// The folder of the running executable, with a trailing separator.
std::string ExecutableFolder();
// The platform's path separator as a string ("/" or "\\").
const char* PathSeparator();

// Creates a folder; false if it exists already or cannot be made.
bool MakeFolder(const std::string& path);

// Writes the parts into a temporary file in the target's folder and puts it in place
// of the target in one step once every byte is written. On any failure the temporary
// file is removed and an existing target is left exactly as it was.
struct ByteSpan {
  const void* data;
  size_t size;
};
bool ReplaceFileWith(const std::string& path, const ByteSpan* parts, size_t part_count);

// Clears read-only, hidden and system marks, then deletes; failures are ignored.
void RemoveFileQuietly(const std::string& path);
